#include "archive/file_calls.h"

#include "archive/archive_failures.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdio.h>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

FileCalls systemCalls;
FileCalls *callsInUse = &systemCalls;

}  // namespace

ssize_t FileCalls::pwrite(int fd, const void *data, size_t size, off_t offset)
{
    return ::pwrite(fd, data, size, offset);
}

int FileCalls::ftruncate(int fd, off_t length)
{
    return ::ftruncate(fd, length);
}

int FileCalls::fsync(int fd)
{
    return ::fsync(fd);
}

int FileCalls::create(const char *path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

int FileCalls::mkdir(const char *path, mode_t mode)
{
    return ::mkdir(path, mode);
}

int FileCalls::link(const char *existing, const char *newName)
{
    return ::link(existing, newName);
}

int FileCalls::rename(const char *from, const char *to)
{
    return ::rename(from, to);
}

int FileCalls::renameNoReplace(const char *from, const char *to)
{
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

int FileCalls::unlink(const char *path)
{
    return ::unlink(path);
}

FileCalls &fileCalls()
{
    return *callsInUse;
}

void useFileCalls(FileCalls *calls)
{
    callsInUse = calls ? calls : &systemCalls;
}

int openWithStatus(const QString &path, int flags, struct stat &status)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        throw osFailure(errno, u"открыть"_s, path);
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        throw osFailure(error, u"прочитать сведения о"_s, path);
    }
    return fd;
}

bool readWhole(int fd, char *into, qint64 length, qint64 offset, const QString &path)
{
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, into + done, size_t(length - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw osFailure(errno, u"прочитать"_s, path);
        if (n == 0)
            return false;
        done += n;
    }
    return true;
}

void writeWhole(int fd, QByteArrayView bytes, qint64 offset, const QString &action, const QString &path)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n
            = fileCalls().pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw osFailure(n < 0 ? errno : ENOSPC, action, path);
        done += n;
    }
}

}  // namespace qm
