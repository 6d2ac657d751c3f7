#pragma once

namespace qm {

struct ArchiveWindowContext;

// The main window's "Архив" command: an empty archive is reported with
// "Архив пуст"; otherwise the archive window is shown modally and the command
// returns when it is closed. Throws qm::Failure when the archive cannot be counted.
void ArchiveCommand(const ArchiveWindowContext &context);

}  // namespace qm
