#include "archive/commands/archive_list_model.h"

#include <QStringMatcher>
#include <QTimer>

#include <algorithm>

namespace qm {

ArchiveListModel::ArchiveListModel(QObject *parent) : QAbstractListModel(parent)
{
}

void ArchiveListModel::setLines(ArchiveLines lines)
{
    beginResetModel();
    lines_ = std::move(lines);
    shownRecords_.clear();
    if (!filter_.isEmpty()) {
        lines_.fold();
        shownRecords_ = matchingRecords(filter_, false);
    }
    endResetModel();
    if (!lines_.isFolded())
        QTimer::singleShot(0, this, &ArchiveListModel::foldSomeLines);
}

void ArchiveListModel::foldSomeLines()
{
    // About a millisecond of work per turn of the event loop: painting and
    // typing go on in between.
    constexpr int kBlocksPerTurn = 4;
    if (!lines_.foldSome(kBlocksPerTurn))
        QTimer::singleShot(0, this, &ArchiveListModel::foldSomeLines);
}

std::vector<int> ArchiveListModel::matchingRecords(const QString &foldedText, bool narrowShown) const
{
    const QStringMatcher matcher(foldedText, Qt::CaseSensitive);
    std::vector<int> matching;
    const auto matches = [&](int position) { return matcher.indexIn(lines_.foldedLine(position)) >= 0; };
    if (narrowShown) {
        std::copy_if(shownRecords_.begin(), shownRecords_.end(), std::back_inserter(matching), matches);
        return matching;
    }
    for (int position = 0; position < int(lines_.size()); ++position) {
        if (matches(position))
            matching.push_back(position);
    }
    return matching;
}

void ArchiveListModel::setFilterText(const QString &text)
{
    const QString folded = text.toCaseFolded();
    if (folded == filter_)
        return;
    // Folded once, so that each keystroke compares plain characters (Ё and ё
    // both as ё, Ж and ж both as ж).
    if (!folded.isEmpty())
        lines_.fold();

    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList persistent = persistentIndexList();
    std::vector<int> persistentRecords;
    for (const QModelIndex &index : persistent)
        persistentRecords.push_back(recordPosition(index.row()));

    // A longer text matches only lines the shorter one matched: typing on
    // narrows the lines already shown instead of searching them all again.
    const bool narrowShown = !filter_.isEmpty() && folded.contains(filter_);
    std::vector<int> shown = folded.isEmpty() ? std::vector<int>() : matchingRecords(folded, narrowShown);
    shownRecords_ = std::move(shown);
    filter_ = folded;

    QModelIndexList moved;
    for (int position : persistentRecords) {
        int row = position;
        if (!filter_.isEmpty()) {
            const auto found = std::lower_bound(shownRecords_.begin(), shownRecords_.end(), position);
            row = found != shownRecords_.end() && *found == position ? int(found - shownRecords_.begin()) : -1;
        }
        moved.append(row >= 0 ? index(row) : QModelIndex());
    }
    changePersistentIndexList(persistent, moved);
    Q_EMIT layoutChanged();
}

int ArchiveListModel::recordPosition(int row) const
{
    if (row < 0 || row >= rowCount())
        return -1;
    return filter_.isEmpty() ? row : shownRecords_[std::size_t(row)];
}

void ArchiveListModel::removeRecord(int position)
{
    if (position < 0 || position >= int(lines_.size()))
        return;
    int row = position;
    auto found = shownRecords_.end();
    if (!filter_.isEmpty()) {
        found = std::lower_bound(shownRecords_.begin(), shownRecords_.end(), position);
        row = found != shownRecords_.end() && *found == position ? int(found - shownRecords_.begin()) : -1;
    }
    if (row >= 0)
        beginRemoveRows({}, row, row);
    lines_.remove(position);
    if (!filter_.isEmpty()) {
        if (row >= 0)
            found = shownRecords_.erase(found);
        std::for_each(found, shownRecords_.end(), [](int &later) { --later; });
    }
    if (row >= 0)
        endRemoveRows();
}

int ArchiveListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return filter_.isEmpty() ? int(lines_.size()) : int(shownRecords_.size());
}

QVariant ArchiveListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const int position = recordPosition(index.row());
    if (position < 0)
        return {};
    return lines_.line(position).toString();
}

}  // namespace qm
