#pragma once

#include <QString>

namespace qm {

class ArchiveLines;
class ArchiveRecordSet;
struct ArchiveWindowContext;

// The list line of the current record: ACTDATE ~ ZAVNUM ~ NAMEORG ~ PRICHINA,
// joined with " ~ "; a null field contributes nothing.
QString archiveListLine(const ArchiveRecordSet &records);

// Appends one line per archived act to lines (it does not clear them), in the
// table's natural order, and shows the record count in the main window's status
// bar. An empty archive shows "В базе нет записей !" and gives false.
// Throws qm::Failure.
bool FillArchiveList(const ArchiveWindowContext &context, ArchiveLines &lines);

}  // namespace qm
