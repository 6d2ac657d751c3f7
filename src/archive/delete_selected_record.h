#pragma once

#include "archive/recall_archived_act.h"
#include "common/failure.h"

#include <optional>

namespace qm {

class Archive;
struct ListedRecord;

enum class DeletionOutcome {
    Deleted,          // the record was deleted; its line is still in the list
    ArchiveChanged,   // the record is no longer the one the list showed: nothing was changed
    Failed,           // the record was read, but deleting it failed
};

struct DeletedRecord {
    DeletionOutcome outcome = DeletionOutcome::ArchiveChanged;
    // The act's ZAVNUM, GODVYP, INN, EKLZREG and NAMEORG, read before the
    // deletion: the main window shows them also when the deletion then fails,
    // so the mechanic still has the act to correct and print again.
    ArchivedActTexts texts;
    std::optional<Failure> failure;   // Failed: why the record is still there
};

// Deletes the record the list showed, found by its number in the file, and
// gives back its five texts for the main window.
//
// Before anything is read or deleted, the record is read again under the
// archive's exclusive lock: it must still be live and give the digest the
// list read. Another copy of the program may have deleted it, or the file may
// have been rewritten, since the list was filled. Throws qm::Failure when the
// record cannot be reached; a failure after its texts were read is returned.
DeletedRecord DeleteSelectedRecord(Archive &archive, const ListedRecord &listed);

}  // namespace qm
