#include "archive/file_lock.h"

#include "archive/archive_failures.h"
#include "common/failure.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

using Clock = std::chrono::steady_clock;

// A blocking lock request returns only when the lock is granted or a signal
// arrives. While it waits, a timer of this thread sends it a signal at a
// steady pace, and each interruption compares the clock with the deadline.
// A pace rather than one signal at the deadline: a signal that lands between
// the comparison and the next request would otherwise be lost, and the wait
// with it would have no end.
constexpr std::chrono::milliseconds kWakePace{100};

int wakeSignal()
{
    return SIGRTMIN;
}

void ignoreWake(int) {}

// The handler does nothing; its only point is that the signal interrupts the
// request (no SA_RESTART) instead of ending the process.
void installWakeHandler()
{
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_handler = ignoreWake;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        return ::sigaction(wakeSignal(), &action, nullptr) == 0;
    }();
    Q_UNUSED(installed);
}

timespec toTimespec(std::chrono::milliseconds span)
{
    return timespec{time_t(span.count() / 1000), long(span.count() % 1000) * 1000000L};
}

// The timer that wakes this thread while it waits for the lock.
class WaitWaker {
public:
    WaitWaker()
    {
        installWakeHandler();
        sigset_t wake;
        sigemptyset(&wake);
        sigaddset(&wake, wakeSignal());
        ::pthread_sigmask(SIG_UNBLOCK, &wake, &previousMask_);
        sigevent event{};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = wakeSignal();
        event._sigev_un._tid = ::gettid();  // sigev_notify_thread_id; Debian 12's glibc lacks that name
        if (::timer_create(CLOCK_MONOTONIC, &event, &timer_) != 0) {
            const int error = errno;
            ::pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
            errno = error;
            return;
        }
        armed_ = true;
        itimerspec pace{toTimespec(kWakePace), toTimespec(kWakePace)};
        ::timer_settime(timer_, 0, &pace, nullptr);
    }

    ~WaitWaker()
    {
        if (armed_) {
            ::timer_delete(timer_);
            ::pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
        }
    }

    WaitWaker(const WaitWaker &) = delete;
    WaitWaker &operator=(const WaitWaker &) = delete;

    bool armed() const { return armed_; }

private:
    timer_t timer_{};
    sigset_t previousMask_{};
    bool armed_ = false;
};

bool isBusy(int error)
{
    return error == EAGAIN || error == EACCES;
}

}  // namespace

void lockFile(int fd, FileLockKind kind, std::chrono::milliseconds timeout, const QString &filePath)
{
    struct flock request {};
    request.l_type = kind == FileLockKind::Shared ? F_RDLCK : F_WRLCK;
    request.l_whence = SEEK_SET;
    request.l_start = 0;
    request.l_len = 0;  // to the end of the file, however far it grows

    const auto locked = [&](int command) {
        for (;;) {
            struct flock attempt = request;
            if (::fcntl(fd, command, &attempt) == 0)
                return true;
            if (errno != EINTR || command == F_OFD_SETLKW)
                return false;
        }
    };

    // The usual case, a free file, needs no timer.
    if (locked(F_OFD_SETLK))
        return;
    if (!isBusy(errno))
        throw osFailure(errno, u"заблокировать"_s, filePath);

    const Clock::time_point deadline = Clock::now() + timeout;
    const WaitWaker waker;
    if (!waker.armed())
        throw osFailure(errno, u"дождаться блокировки"_s, filePath);
    while (!locked(F_OFD_SETLKW)) {
        if (errno != EINTR)
            throw osFailure(errno, u"заблокировать"_s, filePath);
        if (Clock::now() >= deadline) {
            throw Failure(
                FailureCode::TableLocked,
                u"Файл архива %1 занят другой программой (заблокирован); повторите попытку позже"_s.arg(filePath));
        }
    }
}

void unlockFile(int fd)
{
    struct flock request {};
    request.l_type = F_UNLCK;
    request.l_whence = SEEK_SET;
    request.l_start = 0;
    request.l_len = 0;
    ::fcntl(fd, F_OFD_SETLK, &request);
}

}  // namespace qm
