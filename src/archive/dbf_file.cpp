#include "archive/dbf_file.h"

#include "archive/archive_failures.h"
#include "archive/file_calls.h"
#include "archive/file_lock.h"

#include <QFile>
#include <QHashFunctions>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <limits>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

// The largest header the 16-bit length field can state.
constexpr qint64 kMaxHeaderLength = 0xFFFF;
// Records are read in blocks of about this size: a full scan then costs a
// handful of system calls rather than one per record.
constexpr qint64 kReadBlockBytes = 1 << 20;

[[noreturn]] void refuseCorrupt(const QString &filePath, const QString &why)
{
    throw Failure(FailureCode::TableCorrupt,
                  u"Файл архива %1 повреждён или не является таблицей dBASE: %2"_s.arg(filePath, why));
}

// A write past the process's file-size limit (ulimit -f) must fail like a full
// disk, with the act still in the window, instead of the signal ending the
// program.
void failWritesPastTheSizeLimit()
{
    static const bool ignored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    Q_UNUSED(ignored);
}

}  // namespace

quint64 dbfRecordDigest(QByteArrayView record)
{
    // A fixed seed rather than the process's random one: nothing depends on
    // digests from other processes, but a fixed value keeps runs repeatable.
    constexpr size_t kSeed = 0x51'4d'41'52'43'48'44'42;
    const QByteArrayView cells = record.isEmpty() ? record : record.sliced(1);
    return quint64(qHashBits(cells.data(), size_t(cells.size()), kSeed));
}

DbfFile::DbfFile(QString path, DbfOpenMode mode, std::chrono::milliseconds lockTimeout, const RecordVisitor &visitLive)
    : path_(std::move(path)), mode_(mode)
{
    const int flags = (mode == DbfOpenMode::Write ? O_RDWR : O_RDONLY) | O_CLOEXEC;
    struct stat status {};
    fd_ = openWithStatus(path_, flags, status);
    try {
        if (!S_ISREG(status.st_mode))
            throw osFailure(EISDIR, u"открыть"_s, path_);
        lockFile(fd_, mode == DbfOpenMode::Write ? FileLockKind::Exclusive : FileLockKind::Shared, lockTimeout, path_);
        // The size is taken under the lock: a writer may have appended meanwhile.
        if (::fstat(fd_, &status) != 0)
            throw osFailure(errno, u"прочитать сведения о"_s, path_);
        fileSize_ = status.st_size;
        identity_ = DbfFileIdentity{quint64(status.st_dev), quint64(status.st_ino)};
        header_ = parseDbfHeader(readAt(0, std::min(fileSize_, kMaxHeaderLength)), path_);
        codePage_ = codePageForLanguageDriver(header_.languageDriver);
        checkSize();
        scanDeletionFlags(visitLive);
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

DbfFile::~DbfFile()
{
    ::close(fd_);
}

void DbfFile::checkSize()
{
    // Positions and counts are plain ints further up.
    if (header_.recordCount > std::uint32_t(std::numeric_limits<int>::max()))
        refuseCorrupt(path_, u"в заголовке указано невозможное число записей %1"_s.arg(header_.recordCount));
    const qint64 committedEnd = header_.committedEnd();
    if (fileSize_ < committedEnd) {
        refuseCorrupt(path_,
                      u"в заголовке указано %1 записей, а файл вмещает только %2"_s.arg(header_.recordCount)
                          .arg((fileSize_ - header_.headerLength) / header_.recordLength));
    }
    if (fileSize_ > committedEnd + header_.recordLength + 1) {
        refuseCorrupt(path_,
                      u"после %1 записей, указанных в заголовке, в файле ещё %2 байт"_s.arg(header_.recordCount)
                          .arg(fileSize_ - committedEnd));
    }
}

void DbfFile::scanDeletionFlags(const RecordVisitor &visitLive)
{
    const std::uint32_t count = header_.recordCount;
    const qint64 recordLength = header_.recordLength;
    const std::uint32_t perBlock = std::uint32_t(std::max<qint64>(1, kReadBlockBytes / recordLength));
    if (!visitLive)
        live_.reserve(count);
    for (std::uint32_t first = 0; first < count; first += perBlock) {
        const std::uint32_t inBlock = std::min(perBlock, count - first);
        const QByteArray block = readAt(header_.headerLength + first * recordLength, inBlock * recordLength);
        const char *flag = block.constData();
        for (std::uint32_t i = 0; i < inBlock; ++i, flag += recordLength) {
            if (*flag == kDbfLiveFlag) {
                if (visitLive)
                    visitLive(first + i, QByteArrayView(flag, recordLength));
                else
                    live_.push_back(first + i);
            } else if (*flag != kDbfDeletedFlag)
                refuseCorrupt(path_,
                              u"запись %1 помечена байтом 0x%2 вместо пробела или «*»"_s.arg(first + i + 1)
                                  .arg(uint(static_cast<unsigned char>(*flag)), 2, 16, QChar(u'0')));
        }
    }
}

QByteArray DbfFile::readAt(qint64 offset, qint64 length) const
{
    QByteArray bytes(length, Qt::Uninitialized);
    if (!readWhole(fd_, bytes.data(), length, offset, path_))
        refuseCorrupt(path_, u"файл оказался короче, чем при открытии"_s);
    return bytes;
}

void DbfFile::writeAt(qint64 offset, QByteArrayView bytes, const QString &action)
{
    writeWhole(fd_, bytes, offset, action, path_);
}

void DbfFile::sync(const QString &action)
{
    if (fileCalls().fsync(fd_) != 0)
        throw osFailure(errno, action, path_);
}

void DbfFile::requireWritable() const
{
    if (mode_ != DbfOpenMode::Write) {
        throw Failure(ArchiveFailureCode::TableReadOnly, u"Файл архива %1 открыт только для чтения"_s.arg(path_));
    }
}

void DbfFile::requireStillInPlace(const QString &action) const
{
    // Deleted or replaced by another program since we opened it: a write would
    // go into a file nobody can reach any more and be lost while reported done.
    struct stat status {};
    if (::fstat(fd_, &status) != 0)
        throw osFailure(errno, action, path_);
    if (status.st_nlink == 0) {
        throw Failure(FailureCode::FileNotFound,
                      u"Файл архива %1 удалён или заменён другой программой, пока был открыт: не удалось %2 него"_s.arg(
                          path_, action));
    }
}

QByteArrayView DbfFile::record(std::uint32_t index)
{
    if (index >= header_.recordCount)
        throw Failure(FailureCode::NoCurrentRecord, u"Нет записи номер %1 в файле %2"_s.arg(index + 1).arg(path_));
    if (index < windowFirst_ || index >= windowFirst_ + windowCount_) {
        const qint64 recordLength = header_.recordLength;
        const std::uint32_t perBlock = std::uint32_t(std::max<qint64>(1, kReadBlockBytes / recordLength));
        const std::uint32_t count = std::min(perBlock, header_.recordCount - index);
        window_ = readAt(header_.headerLength + index * recordLength, count * recordLength);
        windowFirst_ = index;
        windowCount_ = count;
    }
    return QByteArrayView(window_).sliced(qsizetype(index - windowFirst_) * header_.recordLength, header_.recordLength);
}

void DbfFile::restoreEndAfterFailedAppend(qint64 committedEnd)
{
    // Best effort: the committed records are intact either way, and whatever
    // is left past them reads as an uncommitted tail.
    if (fileCalls().ftruncate(fd_, committedEnd) == 0) {
        const char endMark = kDbfEndOfFile;
        if (fileCalls().pwrite(fd_, &endMark, 1, committedEnd) == 1)
            fileSize_ = committedEnd + 1;
        else
            fileSize_ = committedEnd;
    }
}

std::uint32_t DbfFile::append(const QByteArray &record)
{
    requireWritable();
    Q_ASSERT(record.size() == header_.recordLength);
    if (header_.recordCount >= std::uint32_t(std::numeric_limits<int>::max()))
        throw Failure(FailureCode::DiskFull, u"Файл архива %1 достиг предельного числа записей"_s.arg(path_));

    const qint64 committedEnd = header_.committedEnd();
    const QString action = u"записать новую запись в"_s;
    requireStillInPlace(action);
    failWritesPastTheSizeLimit();
    try {
        // Whatever an interrupted append left past the committed records goes first.
        if (fileSize_ > committedEnd && fileCalls().ftruncate(fd_, committedEnd) != 0)
            throw osFailure(errno, action, path_);
        writeAt(committedEnd, QByteArray(record).append(kDbfEndOfFile), action);
        sync(action);
    } catch (const Failure &) {
        restoreEndAfterFailedAppend(committedEnd);
        throw;
    }
    fileSize_ = committedEnd + header_.recordLength + 1;

    DbfHeader updated = header_;
    updated.recordCount += 1;
    updated.lastUpdate = QDate::currentDate();
    const QByteArray prefix = encodeDbfPrefix(updated);
    // Only the date and the count change; the rest of the prefix stays as the writer left it.
    writeAt(1, QByteArrayView(prefix).sliced(1, 7), u"записать заголовок"_s);
    const std::uint32_t index = header_.recordCount;
    header_.recordCount = updated.recordCount;
    header_.lastUpdate = updated.lastUpdate;
    live_.push_back(index);
    sync(u"записать заголовок"_s);
    return index;
}

void DbfFile::markDeleted(std::uint32_t index)
{
    requireWritable();
    const auto position = std::lower_bound(live_.begin(), live_.end(), index);
    if (position == live_.end() || *position != index)
        throw Failure(FailureCode::NoCurrentRecord,
                      u"Запись номер %1 в файле %2 уже удалена"_s.arg(index + 1).arg(path_));
    const QString action = u"пометить запись как удалённую в"_s;
    requireStillInPlace(action);
    const char flag = kDbfDeletedFlag;
    writeAt(header_.headerLength + qint64(index) * header_.recordLength, QByteArrayView(&flag, 1), action);
    live_.erase(position);
    if (index >= windowFirst_ && index < windowFirst_ + windowCount_)
        window_[qsizetype(index - windowFirst_) * header_.recordLength] = kDbfDeletedFlag;
    sync(action);
}

}  // namespace qm
