#include "archive/commands/archive_list_model.h"

#include "archive/commands/archive_filter.h"
#include "common/failure.h"

#include <algorithm>
#include <bit>

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
    remembered_.clear();
    snapshot_ = std::move(snapshot);
    columns_ = std::move(columns);
    shownRecords_.clear();
    try {
        if (!filter_.isEmpty())
            shownRecords_ = matchingRecords(filter_, nullptr).positions();
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
}

namespace {

// A few filters' matches are kept; more would cost memory for keystrokes
// the mechanic has long typed past.
constexpr std::size_t kRememberedTexts = 16;

}  // namespace

std::vector<int> ArchiveListModel::Remembered::positions() const
{
    std::vector<int> positions;
    positions.reserve(std::size_t(count));
    for (std::size_t word = 0; word < bits.size(); ++word) {
        for (quint64 rest = bits[word]; rest != 0; rest &= rest - 1)
            positions.push_back(int(word * 64 + std::size_t(std::countr_zero(rest))));
    }
    return positions;
}

ArchiveListModel::Remembered ArchiveListModel::matchingRecords(const QString &text,
                                                               const std::vector<int> *among) const
{
    Remembered matching{text, std::vector<quint64>(std::size_t(snapshot_->size() + 63) / 64), 0};
    const ArchiveFilter filter(*columns_, text);
    snapshot_->read(among, [&](int position, QByteArrayView record) {
        if (filter.matches(record)) {
            matching.bits[std::size_t(position) / 64] |= quint64(1) << (position % 64);
            ++matching.count;
        }
    });
    return matching;
}

void ArchiveListModel::setFilterText(const QString &text)
{
    const QString folded = text.toCaseFolded();
    if (folded == filter_)
        return;

    const Remembered *shown = nullptr;
    if (!folded.isEmpty() && snapshot_) {
        // A text matches only records that every text inside it matched:
        // typing on narrows the lines already shown, and erasing back to a
        // text typed before shows what it showed, without a search.
        const Remembered *narrowest = nullptr;
        for (const Remembered &entry : remembered_) {
            if (folded.contains(entry.text) && (!narrowest || entry.count < narrowest->count))
                narrowest = &entry;
        }
        if (narrowest && narrowest->text == folded) {
            shown = narrowest;
        } else {
            Remembered matching;
            if (!narrowest) {
                matching = matchingRecords(folded, nullptr);
            } else if (narrowest->text == filter_) {
                matching = matchingRecords(folded, &shownRecords_);   // typing on: the lines shown
            } else {
                const std::vector<int> among = narrowest->positions();
                matching = matchingRecords(folded, &among);
            }
            remembered_.push_front(std::move(matching));
            if (remembered_.size() > kRememberedTexts)
                remembered_.pop_back();
            shown = &remembered_.front();
        }
    }

    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList persistent = persistentIndexList();
    std::vector<int> persistentRecords;
    for (const QModelIndex &index : persistent)
        persistentRecords.push_back(recordPosition(index.row()));

    // The old lines go before the new ones are listed: both at once would
    // double what a long list costs.
    shownRecords_ = std::vector<int>();
    if (shown)
        shownRecords_ = shown->positions();
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
    remembered_.clear();
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
