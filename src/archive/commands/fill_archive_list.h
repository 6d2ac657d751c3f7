#pragma once

#include <memory>

namespace qm {

class ArchiveSnapshot;
struct ArchiveWindowContext;

// Takes the archive's live records for the list, in the table's natural
// order, and shows the record count in the main window's status bar. An empty
// archive shows "В базе нет записей !" (the archive's lock already given up)
// and gives nullptr. Throws qm::Failure.
std::unique_ptr<ArchiveSnapshot> FillArchiveList(const ArchiveWindowContext &context);

}  // namespace qm
