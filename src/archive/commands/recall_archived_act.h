#pragma once

#include <QString>

class QComboBox;
class QListWidget;

namespace qm {

struct ArchiveWindowContext;

// Selects the item whose text equals stored exactly (case-sensitive, untrimmed).
// Every item is compared, so of several equal items the last one wins; with no
// equal item the earlier selection stays. The list's items never change.
void selectMatchingItem(QComboBox *list, const QString &stored);

// Writes the archived act of the selected line of lBase, found by its position,
// into the main window's act fields. Precondition: a line is selected.
// txtMIFNS and the status bar are left alone. Throws qm::Failure; fields written
// before a failure keep their new values.
void RecallArchivedAct(const ArchiveWindowContext &context, const QListWidget *lBase);

}  // namespace qm
