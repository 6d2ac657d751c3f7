#pragma once

#include <QStringList>

#include <memory>

namespace qm::calc {

// Free of UNO headers: the program's main() includes this.
struct StartedOffice;

// The program's own executable, run with this option and an office's launcher
// process id and pipe name, is the watchdog of that office.
inline constexpr char officeWatchdogOption[] = "--office-watchdog";

// A process of ours that outlives the program to end the office it started
// when the program is killed outright (SIGKILL, a crash), which leaves no
// chance to clean up. The office takes no such order itself, and a
// parent-death signal would stop at its launcher. The watchdog waits on a pipe
// that only the program holds open; when the pipe closes without being
// disarmed, it does what «Выход» does: closes the hidden workbooks the program
// left and ends the office if nothing of the user's is open in it.
class OfficeWatchdog {
public:
    // Starts the watchdog program; nothing when it cannot be started (the
    // program then runs on without one, as it did before watchdogs).
    static std::unique_ptr<OfficeWatchdog> start(const QString &program, const StartedOffice &office);
    ~OfficeWatchdog();
    OfficeWatchdog(const OfficeWatchdog &) = delete;
    OfficeWatchdog &operator=(const OfficeWatchdog &) = delete;

    // The program has dealt with the office itself: the watchdog leaves.
    void disarm() noexcept;

private:
    explicit OfficeWatchdog(int pipeToWatchdog) : pipe_(pipeToWatchdog) {}
    int pipe_ = -1;
};

// The watchdog's side: the arguments after the option. Waits until the
// program disarms it or ends, then acts; returns the exit code.
int runOfficeWatchdog(const QStringList &arguments);

// What «Выход» does to an office the program started: its hidden workbooks
// (only the program makes hidden ones) are closed, and the office is ended
// when nothing else is open in it. An office whose launcher has gone was an
// office already running that took our pipe over: the user's, left alone.
// Never fails.
void endOfficeIfUnused(const StartedOffice &office) noexcept;

}  // namespace qm::calc
