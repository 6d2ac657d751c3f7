#pragma once

#include "archive/commands/recalled_act.h"

namespace qm {

class Archive;
class ArchiveRecordSet;

// The five text fields of the current record, exactly as stored (null reads
// as the empty text).
ArchivedActTexts archivedActTexts(const ArchiveRecordSet &records);

// Reads the archived act at a position of the table's natural order, found by
// position alone (two identical list lines each recall their own record).
// Throws qm::Failure.
RecalledAct RecallArchivedAct(Archive &archive, int position);

}  // namespace qm
