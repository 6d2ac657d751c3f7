#include "app/archive_window/archive_list_model.h"

#include "archive/archive_filter.h"
#include "common/failure.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace qm {

ArchiveListModel::ArchiveListModel(QObject *parent) : QAbstractListModel(parent) {}

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
    shown_.reset();
    try {
        if (!filter_.isEmpty() && snapshot_)
            shown_ = matchingRecords(filter_, nullptr);
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

// Words of match bits per kept count: a row's record is found by a binary
// search over the counts and at most this many popcounts.
constexpr std::size_t kWordsPerCount = 8;

quint64 bitsBelow(int bit)
{
    return (quint64(1) << bit) - 1;
}

}  // namespace

void ArchiveListModel::Matches::countBits()
{
    before.assign((bits.size() + kWordsPerCount - 1) / kWordsPerCount, 0);
    std::uint32_t total = 0;
    for (std::size_t word = 0; word < bits.size(); ++word) {
        if (word % kWordsPerCount == 0)
            before[word / kWordsPerCount] = total;
        total += std::uint32_t(std::popcount(bits[word]));
    }
    count = int(total);
}

int ArchiveListModel::Matches::positionOfRow(int row) const
{
    const auto group = std::upper_bound(before.begin(), before.end(), std::uint32_t(row)) - 1;
    int rest = row - int(*group);
    for (std::size_t word = std::size_t(group - before.begin()) * kWordsPerCount; word < bits.size(); ++word) {
        const int inWord = std::popcount(bits[word]);
        if (rest < inWord) {
            quint64 left = bits[word];
            for (; rest > 0; --rest)
                left &= left - 1;
            return int(word * 64) + std::countr_zero(left);
        }
        rest -= inWord;
    }
    return -1;
}

int ArchiveListModel::Matches::rowOfPosition(int position) const
{
    const std::size_t word = std::size_t(position) / 64;
    if (position < 0 || word >= bits.size() || !(bits[word] >> (position % 64) & 1))
        return -1;
    int row = int(before[word / kWordsPerCount]);
    for (std::size_t earlier = word / kWordsPerCount * kWordsPerCount; earlier < word; ++earlier)
        row += std::popcount(bits[earlier]);
    return row + std::popcount(bits[word] & bitsBelow(position % 64));
}

ArchiveListModel::Matches ArchiveListModel::Matches::without(int position) const
{
    // The records after the removed one move up one position, and their bits with them.
    Matches rest{text, bits, {}, 0};
    const std::size_t first = std::size_t(position) / 64;
    for (std::size_t word = first; word < rest.bits.size(); ++word) {
        const quint64 next = word + 1 < bits.size() ? bits[word + 1] : 0;
        quint64 moved = (bits[word] >> 1) | (next << 63);
        if (word == first)
            moved = (bits[word] & bitsBelow(position % 64)) | (moved & ~bitsBelow(position % 64));
        rest.bits[word] = moved;
    }
    rest.countBits();
    return rest;
}

std::shared_ptr<const ArchiveListModel::Matches> ArchiveListModel::matchingRecords(const QString &text,
                                                                                   const Matches *among) const
{
    auto matching = std::make_shared<Matches>();
    matching->text = text;
    matching->bits.assign(std::size_t(snapshot_->size() + 63) / 64, 0);
    const ArchiveFilter filter(*columns_, text);
    snapshot_->read(among ? &among->bits : nullptr, [&](int position, QByteArrayView record) {
        if (filter.matches(record))
            matching->bits[std::size_t(position) / 64] |= quint64(1) << (position % 64);
    });
    matching->countBits();
    return matching;
}

void ArchiveListModel::setFilterText(const QString &text)
{
    const QString folded = text.toCaseFolded();
    if (folded == filter_)
        return;

    std::shared_ptr<const Matches> shown;
    if (!folded.isEmpty() && snapshot_) {
        // A text matches only records that every text inside it matched:
        // typing on narrows the lines already shown, and erasing back to a
        // text typed before shows what it showed, without a search.
        std::shared_ptr<const Matches> narrowest;
        for (const std::shared_ptr<const Matches> &entry : remembered_) {
            if (folded.contains(entry->text) && (!narrowest || entry->count < narrowest->count))
                narrowest = entry;
        }
        if (narrowest && narrowest->text == folded) {
            shown = narrowest;
        } else {
            shown = matchingRecords(folded, narrowest.get());
            remembered_.push_front(shown);
            if (remembered_.size() > kRememberedTexts)
                remembered_.pop_back();
        }
    }

    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList persistent = persistentIndexList();
    std::vector<int> persistentRecords;
    for (const QModelIndex &index : persistent)
        persistentRecords.push_back(recordPosition(index.row()));

    shown_ = std::move(shown);
    filter_ = folded;

    QModelIndexList moved;
    for (int position : persistentRecords) {
        const int row = rowOfPosition(position);
        moved.append(row >= 0 ? index(row) : QModelIndex());
    }
    changePersistentIndexList(persistent, moved);
    Q_EMIT layoutChanged();
}

int ArchiveListModel::rowOfPosition(int position) const
{
    if (position < 0)
        return -1;
    if (filter_.isEmpty())
        return position;
    return shown_ ? shown_->rowOfPosition(position) : -1;
}

int ArchiveListModel::recordPosition(int row) const
{
    if (row < 0 || row >= rowCount())
        return -1;
    return filter_.isEmpty() ? row : shown_->positionOfRow(row);
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
    const int row = rowOfPosition(position);
    if (row >= 0)
        beginRemoveRows({}, row, row);
    snapshot_->remove(position);
    remembered_.clear();
    if (shown_)
        shown_ = std::make_shared<const Matches>(shown_->without(position));
    if (row >= 0)
        endRemoveRows();
}

int ArchiveListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !snapshot_)
        return 0;
    if (filter_.isEmpty())
        return snapshot_->size();
    return shown_ ? shown_->count : 0;
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
