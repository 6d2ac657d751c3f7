#pragma once

#include "document/uno/libreoffice_calc.h"

#include <QString>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <functional>
#include <optional>

namespace qm::calc {

// A connection to one office process, reached over a named pipe.
struct OfficeConnection {
    css::uno::Reference<css::uno::XComponentContext> context;
    css::uno::Reference<css::frame::XDesktop2> desktop;
    QString pipeName;
};

// An office process we started, listening on a pipe of its own.
struct StartedOffice {
    QString pipeName;
    // The launcher's process. It stays for as long as the office runs and leads
    // the office's processes; it ends at once when an office already running
    // on the same profile takes the pipe over.
    qint64 pid = 0;
};

// Starts soffice listening on a pipe of its own, without waiting for it.
// Throws Failure 429 when it cannot be started at all.
StartedOffice startOffice(const LibreOfficeOptions &options);

// Connects to the office behind the pipe, waiting for it to come up for the
// start deadline of the options. mayStillAnswer, when given, is asked between
// attempts: once it says no (the office's process has ended), one last attempt
// decides. Throws Failure 429.
OfficeConnection connectToOffice(const QString &pipeName, const LibreOfficeOptions &options,
                                 const std::function<bool()> &mayStillAnswer = {});

// One attempt: the connection when the office behind the pipe answers now.
std::optional<OfficeConnection> connectIfAnswering(const QString &pipeName);

// The UNO runtime of this process, set up on first use by whichever thread
// asks first; throws Failure 429.
css::uno::Reference<css::uno::XComponentContext> localContext();

// What the runtime needs of the process (its bootstrap variable, SIGPIPE
// ignored), done on the window's thread before another thread sets it up.
void prepareLocalRuntime();

// Whether the process runs and is still the office started with this pipe: a
// process that has ended, a zombie and a process id handed on to another
// program all say no.
bool isOfficeProcess(qint64 pid, const QString &pipeName);

// Asks the office led by this process to end: the signal goes to the process
// group the launcher runs in, which holds the office's own processes too. A
// process that is not that office, or shares our own group, is left alone.
void terminateOfficeProcesses(qint64 pid, const QString &pipeName);

}  // namespace qm::calc
