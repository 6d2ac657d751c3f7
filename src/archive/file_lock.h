#pragma once

#include <QString>

#include <chrono>

namespace qm {

enum class FileLockKind { Shared, Exclusive };

// Waits for a lock on the whole of an open file, up to the deadline, then
// gives up with Failure 3260 naming the file. The lock is an open-file-
// description record lock: it belongs to this open of the file (another open,
// even in the same process, conflicts with it), closing the descriptor
// releases it, and a network file system that supports locking passes it to
// the server, so copies of the program on several machines sharing one
// archive exclude each other.
void lockFile(int fd, FileLockKind kind, std::chrono::milliseconds timeout, const QString &filePath);

// Gives the lock up while the file stays open: a reader that needs the lock
// only for a moment (the backup reading the committed count) lets writers in
// again at once.
void unlockFile(int fd);

}  // namespace qm
