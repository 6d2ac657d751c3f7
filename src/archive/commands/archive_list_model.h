#pragma once

#include "archive/commands/archive_lines.h"

#include <QAbstractListModel>

#include <vector>

namespace qm {

// The archive window's list: the lines of the archive as they read when the
// window was opened, narrowed by the filter text. A shown row stands for the
// record whose position recordPosition() gives; with an empty filter row n is
// record n, as the list has always been.
class ArchiveListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    explicit ArchiveListModel(QObject *parent = nullptr);

    // Shows a fresh set of lines under the current filter. The lines are then
    // made ready for the filter from the event loop, a few at a time, so that
    // the first keystroke need not wait for a long list.
    void setLines(ArchiveLines lines);
    const ArchiveLines &lines() const { return lines_; }

    // Shows the lines that contain the text, ignoring letter case; the empty
    // text shows every line. A selected line that stays shown stays selected.
    void setFilterText(const QString &text);

    // The record of a shown row, -1 for none.
    int recordPosition(int row) const;

    // Removes the record's line, shown or not; the records after it move up.
    void removeRecord(int position);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void foldSomeLines();
    // The records whose folded line contains the text: among those shown now,
    // or among all.
    std::vector<int> matchingRecords(const QString &foldedText, bool narrowShown) const;

    ArchiveLines lines_;
    QString filter_;                   // case-folded; empty shows every line
    std::vector<int> shownRecords_;    // ascending record positions, used only while filter_ is set
};

}  // namespace qm
