#pragma once

#include "archive/commands/recalled_act.h"

#include <optional>

namespace qm {

class Archive;
class ArchiveRecordSet;
struct ListedRecord;

// The five text fields of the current record, exactly as stored (null reads
// as the empty text, an unreadable field too).
ArchivedActTexts archivedActTexts(const ArchiveRecordSet &records);

// Reads the archived act the list showed, found by its number in the file.
// nullopt when that record has been deleted or no longer gives the list's
// digest: another copy of the program changed the archive since the list was
// read, and whatever is found now is not the act the mechanic chose.
// Throws qm::Failure, naming the field, when a field cannot be read.
std::optional<RecalledAct> RecallArchivedAct(Archive &archive, const ListedRecord &listed);

}  // namespace qm
