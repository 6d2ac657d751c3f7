#include "archive/archive_restore.h"

#include "archive/archive_failures.h"
#include "archive/dbf_file.h"
#include "archive/durable_file.h"
#include "archive/file_calls.h"
#include "archive/file_lock.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

constexpr qint64 kCopyBlockBytes = 1 << 20;

// Writes the backup's bytes, as they are, into the new archive file.
void copyBytes(const QString &from, DurableFile &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw osFailure(errno ? errno : EIO, u"открыть"_s, from);
    qint64 offset = 0;
    for (;;) {
        const QByteArray block = source.read(kCopyBlockBytes);
        if (block.isEmpty())
            break;
        to.write(offset, block);
        offset += block.size();
    }
    if (source.error() != QFileDevice::NoError)
        throw osFailure(EIO, u"прочитать"_s, from);
}

std::optional<QByteArray> digestOf(int fd)
{
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return std::nullopt;
    return hash.result();
}

class ExclusivelyLocked {
public:
    ExclusivelyLocked(const QString &path, std::chrono::milliseconds lockTimeout)
    {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
        if (fd_ < 0)
            throw osFailure(errno, u"открыть"_s, path);
        try {
            lockFile(fd_, FileLockKind::Exclusive, lockTimeout, path);
        } catch (...) {
            ::close(fd_);
            throw;
        }
    }
    ~ExclusivelyLocked() { ::close(fd_); }
    ExclusivelyLocked(const ExclusivelyLocked &) = delete;
    ExclusivelyLocked &operator=(const ExclusivelyLocked &) = delete;

    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

void keepUnderSecondName(const QString &path, const QString &secondName)
{
    if (fileCalls().link(QFile::encodeName(path).constData(), QFile::encodeName(secondName).constData()) == 0) {
        syncFolder(QFileInfo(path).path());
        return;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        throw osFailure(errno, u"сохранить повреждённый файл под именем"_s, secondName);
    // A share without hard links: a copy of the same bytes.
    DurableFile kept(secondName);
    kept.takePermissionsOf(path);
    copyBytes(path, kept);
    if (!kept.publishIfAbsent())
        throw osFailure(EEXIST, u"сохранить повреждённый файл под именем"_s, secondName);
}

}  // namespace

std::optional<ReadableBackup> newestReadableBackup(const QString &backupFolder, std::chrono::milliseconds lockTimeout)
{
    for (const ArchiveBackupFile &backup : listArchiveBackups(backupFolder)) {
        try {
            const DbfFile file(backup.path, DbfOpenMode::Read, lockTimeout);
            return ReadableBackup{backup, int(file.liveRecords().size())};
        } catch (const Failure &) {
            // Refused or unreadable: an older copy may still serve.
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> archiveFileDigest(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> digest = digestOf(fd);
    ::close(fd);
    return digest;
}

QString keptDamagedArchiveName(const QString &archivePath, const QDateTime &when)
{
    const QString stem = QFileInfo(archivePath).path() + u"/QM-damaged-"_s + when.toString(u"yyyy-MM-dd-HHmmss"_s);
    QString name = stem + u".dbf"_s;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stem + u'-' + QString::number(n) + u".dbf"_s;
    return name;
}

RestoreOutcome restoreArchiveFromBackup(const QString &archivePath, const QString &backupPath,
                                        const std::optional<QByteArray> &judged, const QString &keptPath,
                                        std::chrono::milliseconds lockTimeout)
{
    RestoreOutcome outcome;
    DurableFile restored(archivePath);
    copyBytes(backupPath, restored);

    if (!judged) {
        // The copy was made with the archive's permissions.
        restored.takePermissionsOf(backupPath);
        outcome.restored = restored.publishIfAbsent();
        return outcome;
    }

    // Held until the copy is in place: a workstation that opens the damaged
    // file meanwhile waits, then finds it refused, and the next open finds
    // the copy.
    const ExclusivelyLocked damaged(archivePath, lockTimeout);
    if (digestOf(damaged.fd()) != judged)
        return outcome;
    // The damaged file keeps its bytes under a second name before the first
    // name is taken from it.
    keepUnderSecondName(archivePath, keptPath);
    restored.takePermissionsOf(archivePath);
    outcome.keptPath = keptPath;
    restored.publishReplacing();
    outcome.restored = true;
    return outcome;
}

}  // namespace qm
