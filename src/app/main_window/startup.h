#pragma once

#include "app/main_window/form1.h"

#include <memory>

namespace qm {

// Creates the main window and runs its start-up sequence. When the archive is
// refused as damaged, or is missing beside its backups, the mechanic is first
// offered the newest readable backup. A failure is shown with its number and
// description and gives nullptr: the program ends.
std::unique_ptr<Form1> startMainWindow(const MainWindowServices &services);

}  // namespace qm
