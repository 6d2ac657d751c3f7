#pragma once

#include "archive/archive_table.h"
#include "archive/dbf_code_page.h"
#include "archive/dbf_file.h"
#include "archive/dbf_header.h"
#include "archive/record_runs.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace qm {

// The archive's live records as they stood at one moment, for a window that
// shows them for as long as the mechanic keeps it open. Taking it reads the
// table once under a shared lock, which is given up before the constructor
// returns; afterwards records are read again from the file on demand, without
// any lock, so that other workstations can save and delete meanwhile.
//
// What is kept per record is the digest of its bytes, not the bytes, and its
// number among runs of consecutive ones: the snapshot's memory follows the
// number of acts, not their width.
// Reading on demand is sound because the program never rewrites a committed
// record's cells (a deletion only flips its flag, a save appends, the table is
// never packed), and the snapshot keeps its own descriptor of the file it
// read: a file replaced under the window (a restored backup) keeps being read
// as the one that was listed. A record whose bytes no longer give its digest
// has been rewritten by someone else; the caller can tell by digest().
class ArchiveSnapshot {
public:
    // Throws qm::Failure, as opening the archive does.
    ArchiveSnapshot(const QString &path, std::chrono::milliseconds lockTimeout);
    ~ArchiveSnapshot();
    ArchiveSnapshot(const ArchiveSnapshot &) = delete;
    ArchiveSnapshot &operator=(const ArchiveSnapshot &) = delete;

    const QString &path() const { return path_; }
    const QString &tableLabel() const { return tableLabel_; }
    const DbfHeader &header() const { return header_; }
    DbfCodePage codePage() const { return codePage_; }

    // Live records when the snapshot was taken, less those removed since.
    int size() const { return indexes_.size(); }
    ListedRecord listed(int position) const
    {
        return ListedRecord{indexes_.at(position) + 1, digests_[std::size_t(position)]};
    }
    // Forgets one record; the records after it move up one position.
    void remove(int position);

    // Reads the records at the positions whose bit is set (bit p % 64 of
    // word p / 64; all of them for nullptr) from the file in large blocks and
    // hands each one's bytes, flag first, to visit in ascending order. The
    // bytes are valid during the call only.
    // Throws qm::Failure when the file cannot be read.
    using Visit = std::function<void(int position, QByteArrayView record)>;
    void read(const std::vector<quint64> *positions, const Visit &visit) const;

    // One record's bytes, flag first. Throws qm::Failure.
    QByteArray record(int position) const;

private:
    void readAt(qint64 offset, qint64 length, char *into) const;

    QString path_;
    QString tableLabel_;
    int fd_ = -1;
    DbfHeader header_;
    DbfCodePage codePage_ = DbfCodePage::Windows1251;
    RecordRuns indexes_;  // physical, from 0: number - 1
    std::vector<quint64> digests_;
    mutable QByteArray block_;
};

}  // namespace qm
