#include "archive/file_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdio.h>

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

}  // namespace qm
