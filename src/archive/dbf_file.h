#pragma once

#include "archive/dbf_code_page.h"
#include "archive/dbf_header.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace qm {

enum class DbfOpenMode { Read, Write };

// The digest of a record's cells (its bytes after the deletion flag), the
// same in every process of one build: the flag is left out, because whether
// the record is live is asked apart.
quint64 dbfRecordDigest(QByteArrayView record);

// Which file an open descriptor reads, whatever name it has now.
struct DbfFileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const DbfFileIdentity &, const DbfFileIdentity &) = default;
};

// One dBASE file held open and locked (shared to read, exclusive to write)
// for the object's lifetime.
//
// Opening checks the header, the field descriptors, the file size and every
// deletion flag before anything is written; whatever disagrees is refused
// with Failure 3049 and the file is left untouched. The one tolerated
// disagreement is a tail of at most one record plus the end mark beyond the
// committed records: an append that was cut off before its header update.
// It is ignored on reading and cut back by the next append.
class DbfFile {
public:
    // visitLive, when given, sees every live record's bytes (flag first)
    // during the scan that opening makes anyway: a reader of every record
    // need not read the file a second time. The live records are then the
    // visitor's to keep (liveRecords() stays empty), so that a reader who
    // keeps them its own way does not hold a second list while it opens.
    using RecordVisitor = std::function<void(std::uint32_t index, QByteArrayView record)>;
    DbfFile(QString path, DbfOpenMode mode, std::chrono::milliseconds lockTimeout, const RecordVisitor &visitLive = {});
    ~DbfFile();
    DbfFile(const DbfFile &) = delete;
    DbfFile &operator=(const DbfFile &) = delete;

    const QString &path() const { return path_; }
    const DbfHeader &header() const { return header_; }
    DbfCodePage codePage() const { return codePage_; }
    DbfFileIdentity identity() const { return identity_; }

    // Physical indexes of the records not flagged deleted, in file order.
    const std::vector<std::uint32_t> &liveRecords() const { return live_; }
    // Hands the list over, for a reader done with the file.
    std::vector<std::uint32_t> takeLiveRecords() { return std::move(live_); }

    // The committed record at a physical index, deletion flag first; the view
    // stays valid until the next call on this object.
    QByteArrayView record(std::uint32_t index);

    // Writes a record (flag and cells, recordLength bytes) after the last
    // committed one, then the end mark; syncs; then writes the new count and
    // date into the header and syncs again. Returns the record's index.
    std::uint32_t append(const QByteArray &record);

    // Flags a committed record as deleted and syncs.
    void markDeleted(std::uint32_t index);

private:
    QByteArray readAt(qint64 offset, qint64 length) const;
    void writeAt(qint64 offset, QByteArrayView bytes, const QString &action);
    void sync(const QString &action);
    void checkSize();
    void scanDeletionFlags(const RecordVisitor &visitLive);
    void requireWritable() const;
    void requireStillInPlace(const QString &action) const;
    void restoreEndAfterFailedAppend(qint64 committedEnd);

    QString path_;
    DbfOpenMode mode_;
    int fd_ = -1;
    qint64 fileSize_ = 0;
    DbfFileIdentity identity_;
    DbfHeader header_;
    DbfCodePage codePage_ = DbfCodePage::Windows1251;
    std::vector<std::uint32_t> live_;

    QByteArray window_;
    std::uint32_t windowFirst_ = 0;
    std::uint32_t windowCount_ = 0;
};

}  // namespace qm
