#pragma once

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace qm {

// The shown row of the selected line of the archive list, -1 when no line is
// selected. The list's current row alone does not count: the list makes its
// first line current when it takes the focus, without selecting it.
inline int selectedArchiveLine(const QAbstractItemView *lBase)
{
    const QModelIndexList selected = lBase->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

}  // namespace qm
