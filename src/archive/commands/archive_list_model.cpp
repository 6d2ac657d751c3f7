#include "archive/commands/archive_list_model.h"

#include "archive/commands/archive_filter.h"
#include "common/failure.h"

#include <algorithm>

namespace qm {

ArchiveListModel::ArchiveListModel(QObject *parent) : QAbstractListModel(parent)
{
}

ArchiveListModel::~ArchiveListModel() = default;

void ArchiveListModel::setSnapshot(std::unique_ptr<ArchiveSnapshot> snapshot)
{
    std::unique_ptr<ArchiveRecordText> columns;
    if (snapshot)
        columns = std::make_unique<ArchiveRecordText>(snapshot->header(), snapshot->codePage(), snapshot->tableLabel());
    beginResetModel();
    snapshot_ = std::move(snapshot);
    columns_ = std::move(columns);
    shownRecords_.clear();
    try {
        if (!filter_.isEmpty())
            shownRecords_ = matchingRecords(filter_, false);
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
}

std::vector<int> ArchiveListModel::matchingRecords(const QString &text, bool narrowShown) const
{
    std::vector<int> matching;
    if (!snapshot_)
        return matching;
    const ArchiveFilter filter(*columns_, text);
    snapshot_->read(narrowShown ? &shownRecords_ : nullptr, [&](int position, QByteArrayView record) {
        if (filter.matches(record))
            matching.push_back(position);
    });
    return matching;
}

void ArchiveListModel::setFilterText(const QString &text)
{
    const QString folded = text.toCaseFolded();
    if (folded == filter_)
        return;

    // A longer text matches only records the shorter one matched: typing on
    // narrows the lines already shown instead of searching them all again.
    const bool narrowShown = !filter_.isEmpty() && folded.contains(filter_);
    std::vector<int> shown = folded.isEmpty() ? std::vector<int>() : matchingRecords(folded, narrowShown);

    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList persistent = persistentIndexList();
    std::vector<int> persistentRecords;
    for (const QModelIndex &index : persistent)
        persistentRecords.push_back(recordPosition(index.row()));

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

std::optional<ListedRecord> ArchiveListModel::listedRecord(int position) const
{
    if (!snapshot_ || position < 0 || position >= snapshot_->size())
        return std::nullopt;
    return snapshot_->listed(position);
}

void ArchiveListModel::removeRecord(int position)
{
    if (!snapshot_ || position < 0 || position >= snapshot_->size())
        return;
    int row = position;
    auto found = shownRecords_.end();
    if (!filter_.isEmpty()) {
        found = std::lower_bound(shownRecords_.begin(), shownRecords_.end(), position);
        row = found != shownRecords_.end() && *found == position ? int(found - shownRecords_.begin()) : -1;
    }
    if (row >= 0)
        beginRemoveRows({}, row, row);
    snapshot_->remove(position);
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
    if (parent.isValid() || !snapshot_)
        return 0;
    return filter_.isEmpty() ? snapshot_->size() : int(shownRecords_.size());
}

QString ArchiveListModel::lineAt(int position) const
{
    QByteArray record;
    try {
        record = snapshot_->record(position);
    } catch (const Failure &) {
        record.clear();
    }
    // Bytes that no longer give the digest the list read (the file rewritten
    // in place by another program) are not the act the line stood for.
    if (record.isEmpty() || dbfRecordDigest(record) != snapshot_->listed(position).digest) {
        const QString unreadable = kUnreadableFieldText.toString();
        return QStringList(4, unreadable).join(u" ~ ");
    }
    return columns_->line(record);
}

QVariant ArchiveListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const int position = recordPosition(index.row());
    if (position < 0)
        return {};
    return lineAt(position);
}

}  // namespace qm
