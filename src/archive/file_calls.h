#pragma once

#include <QByteArrayView>
#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

namespace qm {

// The system calls by which the archive changes what is on disk: QM.dbf, its
// backups and the folders that hold them. The program uses the system's own.
// A test puts a recorder in between, to see every write, truncation, sync and
// change of a name in the order they were issued and to rebuild from them the
// states a power cut could leave.
class FileCalls {
public:
    virtual ~FileCalls() = default;

    virtual ssize_t pwrite(int fd, const void *data, size_t size, off_t offset);
    virtual int ftruncate(int fd, off_t length);
    // Also a folder's descriptor: that makes the names in it durable.
    virtual int fsync(int fd);
    // open() of a file that may be made by it (flags hold O_CREAT).
    virtual int create(const char *path, int flags, mode_t mode);
    virtual int mkdir(const char *path, mode_t mode);
    virtual int link(const char *existing, const char *newName);
    virtual int rename(const char *from, const char *to);
    // A rename that fails with EEXIST rather than replace a file.
    virtual int renameNoReplace(const char *from, const char *to);
    virtual int unlink(const char *path);
};

// The calls in use: the system's, unless a test has put its own in place.
FileCalls &fileCalls();

// Puts a test's calls in place; nullptr brings back the system's. Not for use
// while another thread works on the archive.
void useFileCalls(FileCalls *calls);

// Opens an existing file and reads its status into `status`; the descriptor,
// or a qm::Failure describing `path` (nothing is left open then).
int openWithStatus(const QString &path, int flags, struct stat &status);

// Reads `length` bytes at `offset` whatever the number of calls it takes.
// False when the file ends first; throws qm::Failure (describing `path`) when
// reading fails.
bool readWhole(int fd, char *into, qint64 length, qint64 offset, const QString &path);

// Writes all of `bytes` at `offset` through fileCalls(). A write that makes no
// progress is a full disk. Throws qm::Failure naming `action` and `path`.
void writeWhole(int fd, QByteArrayView bytes, qint64 offset, const QString &action, const QString &path);

}  // namespace qm
