#include "archive/file_lock.h"

#include "archive/os_failure.h"
#include "common/failure.h"

#include <sys/file.h>

#include <cerrno>
#include <thread>

using namespace Qt::StringLiterals;

namespace qm {

void lockFile(int fd, FileLockKind kind, std::chrono::milliseconds timeout, const QString &filePath)
{
    using Clock = std::chrono::steady_clock;
    const int operation = (kind == FileLockKind::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    const Clock::time_point deadline = Clock::now() + timeout;
    auto pause = std::chrono::milliseconds(2);
    while (::flock(fd, operation) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            throw osFailure(errno, u"заблокировать"_s, filePath);
        if (Clock::now() >= deadline) {
            throw Failure(FailureCode::TableLocked,
                          u"Файл архива %1 занят другой программой (заблокирован); повторите попытку позже"_s.arg(filePath));
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

}  // namespace qm
