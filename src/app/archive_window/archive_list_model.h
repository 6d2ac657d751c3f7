#pragma once

#include "archive/archive_record_text.h"
#include "archive/archive_snapshot.h"

#include <QAbstractListModel>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace qm {

// The archive window's list: the archive's records as they read when the
// window was filled, narrowed by the filter text. A shown row stands for the
// record whose position recordPosition() gives; with an empty filter row n is
// record n, as the list has always been.
//
// Only the records' numbers and digests are held (the snapshot); a line is
// read from the file and decoded when it is painted, and the filter reads the
// records' bytes afresh. So the window's cost follows what is shown, not the
// archive's size.
class ArchiveListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    explicit ArchiveListModel(QObject *parent = nullptr);
    ~ArchiveListModel() override;

    // Shows a fresh snapshot (none: an empty list) under the current filter.
    // Throws qm::Failure, leaving the list as it was, when the table lacks a
    // column the list needs or cannot be read.
    void setSnapshot(std::unique_ptr<ArchiveSnapshot> snapshot);

    // Shows the records that match the text (see ArchiveFilter); the empty
    // text shows every record. A selected line that stays shown stays
    // selected. Throws qm::Failure when the file cannot be read.
    void setFilterText(const QString &text);

    // The record of a shown row, -1 for none.
    int recordPosition(int row) const;
    // The number and digest of the record at a position, as the list read it.
    std::optional<ListedRecord> listedRecord(int position) const;

    // Forgets the record's line, shown or not; the records after it move up.
    void removeRecord(int position);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    // The records a text matches, one bit a record, with the count of those
    // before every few words: a row's record is found in O(log n), and a
    // million matches take 140 KiB where a list of their positions took 4 MiB.
    struct Matches {
        QString text;
        std::vector<quint64> bits;
        std::vector<std::uint32_t> before;  // set bits before each group of kWordsPerCount words
        int count = 0;

        void countBits();
        int positionOfRow(int row) const;
        int rowOfPosition(int position) const;  // -1 when the record does not match
        Matches without(int position) const;
    };
    // The records that match the text, among those of `among` or all.
    std::shared_ptr<const Matches> matchingRecords(const QString &text, const Matches *among) const;
    QString lineAt(int position) const;
    int rowOfPosition(int position) const;

    std::unique_ptr<ArchiveSnapshot> snapshot_;
    std::unique_ptr<ArchiveRecordText> columns_;
    QString filter_;                        // case-folded; empty shows every line
    std::shared_ptr<const Matches> shown_;  // the lines shown while filter_ is set

    // The matches of the last few texts: erasing back to a text typed before
    // costs nothing, and a text that contains one of them searches only its
    // matches.
    std::deque<std::shared_ptr<const Matches>> remembered_;
};

}  // namespace qm
