#pragma once

#include <QString>

#include <chrono>

namespace qm {

enum class FileLockKind { Shared, Exclusive };

// Waits for an advisory lock (flock) on an open file, up to the deadline,
// then gives up with Failure 3260 naming the file. The lock goes with the
// descriptor: closing it releases the lock.
void lockFile(int fd, FileLockKind kind, std::chrono::milliseconds timeout, const QString &filePath);

}  // namespace qm
