#pragma once

#include <QListWidget>

namespace qm {

// The 0-based position of the selected line of the archive list, -1 when no line
// is selected. The list's current item alone does not count: the list makes its
// first line current when it takes the focus, without selecting it.
inline int selectedArchiveLine(const QListWidget *lBase)
{
    const QList<QListWidgetItem *> selected = lBase->selectedItems();
    return selected.isEmpty() ? -1 : lBase->row(selected.constFirst());
}

}  // namespace qm
