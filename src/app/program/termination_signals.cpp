#include "app/program/termination_signals.h"

#include "common/program_log.h"
#include "document/spreadsheet.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace qm {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

int signalPipe[2] = {-1, -1};

extern "C" void noteSignal(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

void endOfficeOnTerminationSignals(SpreadsheetApplication &spreadsheet)
{
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [&spreadsheet] {
        unsigned char number = 0;
        if (::read(signalPipe[0], &number, 1) != 1)
            return;
        qCInfo(logApp) << "signal" << number << "received: the office is ended, then the program";
        spreadsheet.endUnusedInstance();
        // A command waiting for the mechanic holds no archive lock and has
        // written nothing half-way: the program ends as the signal's own
        // action ends it, without running the rest of that command.
        std::signal(number, SIG_DFL);
        ::raise(number);
    });
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

}  // namespace qm
