#pragma once

#include <QString>

namespace qm {

class Prompts;

enum class RestoreChoice {
    NotOffered,   // the archive is neither refused as damaged nor missing beside its backups
    Restored,     // the newest readable backup is in place: start again
    Declined,     // the mechanic said no, or the restore failed and was reported: the program ends
};

// When the archive in the program folder is refused as damaged, or is missing
// while backups of it exist, asks the mechanic whether to restore the newest
// readable backup, naming its date and number of acts and what it lacks; on
// «Да» keeps the damaged file beside it and puts a copy of the backup in
// place. Nothing is held locked while the question waits.
RestoreChoice offerArchiveRestore(const QString &programFolder, Prompts &prompts);

}  // namespace qm
