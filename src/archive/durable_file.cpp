#include "archive/durable_file.h"

#include "archive/archive_failures.h"
#include "archive/file_calls.h"
#include "common/program_log.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

bool linksUnsupported(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EXDEV;
}

// A group the user is not in, or a share that maps owners and modes itself.
bool permissionsUnsupported(int error)
{
    return error == EPERM || error == EINVAL || error == EOPNOTSUPP || error == ENOSYS;
}

}  // namespace

DurableFile::DurableFile(QString finalPath) : finalPath_(std::move(finalPath))
{
    const QFileInfo target(finalPath_);
    // A name of its own for every writer: two workstations writing the same
    // day's copy never write into one file.
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temporaryPath_ = target.path() + u"/."_s + target.fileName() + u'.'
            + QString::number(QRandomGenerator::system()->generate64(), 16) + u".tmp"_s;
        fd_ = fileCalls().create(encoded(temporaryPath_).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt > 8))
            throw osFailure(errno, u"создать"_s, temporaryPath_);
    }
}

DurableFile::~DurableFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!published_)
        dropTemporary();
}

void DurableFile::dropTemporary()
{
    fileCalls().unlink(encoded(temporaryPath_).constData());
}

void DurableFile::takePermissionsOf(const QString &model)
{
    struct stat status {};
    if (::stat(encoded(model).constData(), &status) != 0)
        throw osFailure(errno, u"прочитать сведения о"_s, model);
    // The group first: changing it may clear bits the mode then sets again.
    if (::fchown(fd_, uid_t(-1), status.st_gid) != 0 && !permissionsUnsupported(errno))
        throw osFailure(errno, u"сменить группу файла"_s, temporaryPath_);
    if (::fchmod(fd_, status.st_mode & 0777) != 0 && !permissionsUnsupported(errno))
        throw osFailure(errno, u"изменить права доступа к"_s, temporaryPath_);
}

void DurableFile::write(qint64 offset, QByteArrayView bytes)
{
    writeWhole(fd_, bytes, offset, u"записать"_s, temporaryPath_);
}

void DurableFile::syncContent()
{
    if (fileCalls().fsync(fd_) != 0)
        throw osFailure(errno, u"записать на диск"_s, temporaryPath_);
    ::close(fd_);
    fd_ = -1;
}

bool DurableFile::publishIfAbsent()
{
    syncContent();
    const QByteArray from = encoded(temporaryPath_);
    const QByteArray to = encoded(finalPath_);
    // A link never replaces a name that exists, so only one publisher wins;
    // the temporary name goes afterwards. A share without hard links gets the
    // same promise from a rename that refuses to replace.
    if (fileCalls().link(from.constData(), to.constData()) == 0) {
        published_ = true;
        dropTemporary();
    } else if (linksUnsupported(errno) && fileCalls().renameNoReplace(from.constData(), to.constData()) == 0) {
        published_ = true;
    } else if (errno == EEXIST) {
        return false;
    } else {
        throw osFailure(errno, u"переименовать"_s, temporaryPath_);
    }
    syncFolder(QFileInfo(finalPath_).path());
    return true;
}

void DurableFile::publishReplacing()
{
    syncContent();
    if (fileCalls().rename(encoded(temporaryPath_).constData(), encoded(finalPath_).constData()) != 0)
        throw osFailure(errno, u"переименовать"_s, temporaryPath_);
    published_ = true;
    syncFolder(QFileInfo(finalPath_).path());
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw osFailure(errno, u"открыть папку"_s, folder);
    const int result = fileCalls().fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some network file systems have no sync of a folder; their server keeps
    // the names itself.
    if (result != 0 && error != EINVAL && error != ENOTSUP && error != EBADF)
        throw osFailure(error, u"записать на диск папку"_s, folder);
}

void makeFolderDurably(const QString &folder)
{
    if (fileCalls().mkdir(encoded(folder).constData(), 0777) != 0) {
        if (errno == EEXIST)
            return;
        throw osFailure(errno, u"создать папку"_s, folder);
    }
    // For every workstation that writes the folder above it, not only this
    // user; where that cannot be given, this one can still write it.
    const QString parent = QFileInfo(folder).path();
    struct stat status {};
    if (::stat(encoded(parent).constData(), &status) == 0) {
        const bool groupGiven = ::chown(encoded(folder).constData(), uid_t(-1), status.st_gid) == 0;
        const bool modeGiven = ::chmod(encoded(folder).constData(), status.st_mode & 07777) == 0;
        if (!groupGiven || !modeGiven)
            qCInfo(logArchive).noquote() << "folder" << folder << "made without the permissions of" << parent;
    }
    syncFolder(parent);
}

}  // namespace qm
