#include "archive/archive_backup.h"

#include "archive/archive_failures.h"
#include "archive/dbf_header.h"
#include "archive/durable_file.h"
#include "archive/file_calls.h"
#include "archive/file_lock.h"
#include "common/failure.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

// The committed records are copied in blocks of this size.
constexpr qint64 kCopyBlockBytes = 1 << 20;
constexpr qint64 kMaxHeaderLength = 0xFFFF;

const QRegularExpression &backupNamePattern()
{
    static const QRegularExpression pattern(u"^QM-(\\d{4})-(\\d{2})-(\\d{2})\\.dbf$"_s);
    return pattern;
}

// What an interrupted copy leaves: ".QM-YYYY-MM-DD.dbf.<random>.tmp".
const QRegularExpression &leftoverNamePattern()
{
    static const QRegularExpression pattern(u"^\\.QM-(\\d{4})-(\\d{2})-(\\d{2})\\.dbf\\.[0-9a-f]+\\.tmp$"_s);
    return pattern;
}

QDate dayOf(const QRegularExpressionMatch &match)
{
    return QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
}

class OpenFile {
public:
    explicit OpenFile(const QString &path) : path_(path)
    {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0)
            throw osFailure(errno, u"открыть"_s, path);
    }
    ~OpenFile() { ::close(fd_); }
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;

    int fd() const { return fd_; }

    qint64 size() const
    {
        struct stat status {};
        if (::fstat(fd_, &status) != 0)
            throw osFailure(errno, u"прочитать сведения о"_s, path_);
        return status.st_size;
    }

    // Exactly `length` bytes, or a failure: the file is shorter than its header says.
    QByteArray read(qint64 offset, qint64 length) const
    {
        QByteArray bytes(length, Qt::Uninitialized);
        if (!readWhole(fd_, bytes.data(), length, offset, path_))
            throw Failure(FailureCode::TableCorrupt,
                          u"Файл архива %1 повреждён: он короче, чем указано в заголовке"_s.arg(path_));
        return bytes;
    }

private:
    QString path_;
    int fd_ = -1;
};

struct CommittedPart {
    QByteArray header;
    qint64 end = 0;  // where the committed records end
};

// Read under a shared lock, given up at once: the header as the last
// committed append left it, and so the count of records that are whole.
CommittedPart readCommittedPart(const OpenFile &archive, const QString &archivePath,
                                std::chrono::milliseconds lockTimeout)
{
    lockFile(archive.fd(), FileLockKind::Shared, lockTimeout, archivePath);
    CommittedPart part;
    try {
        const qint64 size = archive.size();
        const DbfHeader header = parseDbfHeader(archive.read(0, std::min(size, kMaxHeaderLength)), archivePath);
        part.end = header.committedEnd();
        if (size < part.end)
            throw Failure(FailureCode::TableCorrupt,
                          u"Файл архива %1 повреждён: в заголовке указано %2 записей, а файл короче"_s.arg(archivePath)
                              .arg(header.recordCount));
        part.header = archive.read(0, header.headerLength);
    } catch (...) {
        unlockFile(archive.fd());
        throw;
    }
    unlockFile(archive.fd());
    return part;
}

// Whether a copy holds at least one act not flagged deleted. A copy that
// cannot be read holds none that could be restored.
bool holdsActs(const QString &path)
{
    try {
        const OpenFile file(path);
        const qint64 size = file.size();
        const DbfHeader header = parseDbfHeader(file.read(0, std::min(size, kMaxHeaderLength)), path);
        const qint64 end = std::min(header.committedEnd(), size);
        const qint64 perBlock = std::max<qint64>(1, kCopyBlockBytes / header.recordLength);
        for (qint64 offset = header.headerLength; offset + header.recordLength <= end;) {
            const qint64 records = std::min(perBlock, (end - offset) / header.recordLength);
            const QByteArray block = file.read(offset, records * header.recordLength);
            for (qint64 i = 0; i < records; ++i) {
                if (block.at(i * header.recordLength) == kDbfLiveFlag)
                    return true;
            }
            offset += records * header.recordLength;
        }
    } catch (const Failure &) {
    }
    return false;
}

void removeFile(const QString &path)
{
    // Another workstation rotating at the same moment may have removed it first.
    if (fileCalls().unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        throw osFailure(errno, u"удалить"_s, path);
}

}  // namespace

QString archiveBackupFolder(const QString &programFolder)
{
    return programFolder + u"/backup"_s;
}

QString archiveBackupFileName(const QDate &day)
{
    return u"QM-"_s + day.toString(u"yyyy-MM-dd"_s) + u".dbf"_s;
}

QList<ArchiveBackupFile> listArchiveBackups(const QString &backupFolder)
{
    QList<ArchiveBackupFile> backups;
    const QDir folder(backupFolder);
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = backupNamePattern().match(name);
        if (match.hasMatch() && dayOf(match).isValid())
            backups.append({folder.filePath(name), dayOf(match)});
    }
    std::sort(backups.begin(), backups.end(),
              [](const ArchiveBackupFile &a, const ArchiveBackupFile &b) { return a.day > b.day; });
    return backups;
}

bool copyCommittedArchive(const QString &archivePath, const QString &target, std::chrono::milliseconds lockTimeout)
{
    const OpenFile archive(archivePath);
    const CommittedPart committed = readCommittedPart(archive, archivePath, lockTimeout);

    DurableFile copy(target);
    // Restored, the copy becomes the archive that every workstation writes.
    copy.takePermissionsOf(archivePath);
    copy.write(0, committed.header);
    for (qint64 offset = committed.header.size(); offset < committed.end;) {
        const qint64 length = std::min(kCopyBlockBytes, committed.end - offset);
        copy.write(offset, archive.read(offset, length));
        offset += length;
    }
    const char endMark = kDbfEndOfFile;
    copy.write(committed.end, QByteArrayView(&endMark, 1));
    return copy.publishIfAbsent();
}

void removeOldArchiveBackups(const QString &backupFolder, int keep, const QDate &today)
{
    const QList<ArchiveBackupFile> backups = listArchiveBackups(backupFolder);
    if (backups.size() > keep) {
        qsizetype newestWithActs = 0;
        while (newestWithActs < backups.size() && !holdsActs(backups[newestWithActs].path))
            ++newestWithActs;
        for (qsizetype i = keep; i < backups.size(); ++i) {
            if (i != newestWithActs)
                removeFile(backups[i].path);
        }
    }

    // A copy cut off by a crash or a full disk on an earlier day; today's may
    // still be written by another workstation.
    const QDir folder(backupFolder);
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = leftoverNamePattern().match(name);
        if (match.hasMatch() && dayOf(match).isValid() && dayOf(match) < today)
            removeFile(folder.filePath(name));
    }
}

ArchiveBackupResult backUpArchiveForToday(const QString &archivePath, const QString &backupFolder,
                                          const ArchiveBackupPlan &plan, std::chrono::milliseconds lockTimeout)
{
    ArchiveBackupResult result;
    if (plan.keep <= 0)
        return result;
    const QDate today = plan.today();
    const QString target = backupFolder + u'/' + archiveBackupFileName(today);
    // Every act but the first of the day stops here.
    if (QFile::exists(target))
        return result;
    const auto failed = [](const QString &what) {
        const Failure cause = toFailure(std::current_exception());
        return Failure(cause.number(), what + u": "_s + cause.description(), cause.technicalDetail());
    };
    try {
        makeFolderDurably(backupFolder);
        result.made = copyCommittedArchive(archivePath, target, lockTimeout);
    } catch (...) {
        result.failure
            = failed(u"Резервная копия архива за %1 не сделана (%2)"_s.arg(today.toString(u"dd.MM.yyyy"_s), target));
        return result;
    }
    try {
        removeOldArchiveBackups(backupFolder, plan.keep, today);
    } catch (...) {
        result.failure = failed(u"Старые резервные копии архива в папке %1 не удалены"_s.arg(backupFolder));
        result.oldCopiesLeft = true;
    }
    return result;
}

}  // namespace qm
