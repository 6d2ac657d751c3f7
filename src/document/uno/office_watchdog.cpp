#include "document/uno/office_watchdog.h"

#include "common/failure.h"
#include "common/program_log.h"
#include "document/uno/office_launch.h"

#include <QFile>

#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using css::uno::Reference;

namespace qm::calc {

namespace {

// Bounds a watchdog that waits on an office hung while it dies.
constexpr unsigned kWatchdogActSeconds = 120;

std::vector<Reference<css::lang::XComponent>> documentsOf(const OfficeConnection &office)
{
    std::vector<Reference<css::lang::XComponent>> documents;
    const Reference<css::container::XEnumerationAccess> components = office.desktop->getComponents();
    if (!components.is())
        return documents;
    const Reference<css::container::XEnumeration> enumeration = components->createEnumeration();
    while (enumeration->hasMoreElements())
        documents.emplace_back(enumeration->nextElement(), css::uno::UNO_QUERY);
    return documents;
}

bool isHidden(const Reference<css::lang::XComponent> &document)
{
    const Reference<css::frame::XModel> model(document, css::uno::UNO_QUERY);
    if (!model.is() || !model->getCurrentController().is())
        return false;
    const Reference<css::awt::XWindow2> window(model->getCurrentController()->getFrame()->getContainerWindow(),
                                               css::uno::UNO_QUERY);
    return window.is() && !window->isVisible();
}

// Closes the hidden documents and tells whether anything is left open.
bool closeHiddenDocuments(const OfficeConnection &office)
{
    bool othersLeft = false;
    for (const Reference<css::lang::XComponent> &document : documentsOf(office)) {
        if (!isHidden(document)) {
            othersLeft = true;
            continue;
        }
        try {
            const Reference<css::util::XCloseable> closeable(document, css::uno::UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
            else
                document->dispose();
        } catch (const css::util::CloseVetoException &) {
            othersLeft = true;
        }
    }
    return othersLeft;
}

}  // namespace

std::unique_ptr<OfficeWatchdog> OfficeWatchdog::start(const QString &program, const StartedOffice &office)
{
    if (program.isEmpty() || office.pid <= 0)
        return nullptr;
    int toWatchdog[2];
    // Close-on-exec: neither the office nor any other child may hold the pipe
    // open, or its end would never be seen.
    if (::pipe2(toWatchdog, O_CLOEXEC) != 0)
        return nullptr;
    QByteArray path = QFile::encodeName(program);
    QByteArray option(officeWatchdogOption);
    QByteArray pid = QByteArray::number(office.pid);
    QByteArray pipeName = office.pipeName.toUtf8();
    char *const arguments[] = {path.data(), option.data(), pid.data(), pipeName.data(), nullptr};
    const int nullDevice = ::open("/dev/null", O_RDWR | O_CLOEXEC);

    // Twice forked, in a session of its own: no zombie of it stays with us,
    // and neither a terminal's interrupt nor its hang-up reaches it.
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        if (::fork() == 0) {
            ::dup2(toWatchdog[0], STDIN_FILENO);
            if (nullDevice >= 0)
                ::dup2(nullDevice, STDOUT_FILENO);
            ::execv(arguments[0], arguments);
            ::_exit(127);
        }
        ::_exit(0);
    }
    ::close(toWatchdog[0]);
    if (nullDevice >= 0)
        ::close(nullDevice);
    if (child < 0) {
        ::close(toWatchdog[1]);
        qCWarning(logOffice) << "the office's watchdog could not be started:" << errno;
        return nullptr;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return std::unique_ptr<OfficeWatchdog>(new OfficeWatchdog(toWatchdog[1]));
}

OfficeWatchdog::~OfficeWatchdog()
{
    // Destroyed without being disarmed, the watchdog acts: only an office the
    // program dealt with itself is disarmed.
    if (pipe_ >= 0)
        ::close(pipe_);
}

void OfficeWatchdog::disarm() noexcept
{
    if (pipe_ < 0)
        return;
    const char leave = 'd';
    [[maybe_unused]] const ssize_t written = ::write(pipe_, &leave, 1);
    ::close(pipe_);
    pipe_ = -1;
}

int runOfficeWatchdog(const QStringList &arguments)
{
    if (arguments.size() != 2)
        return 2;
    StartedOffice office;
    office.pid = arguments[0].toLongLong();
    office.pipeName = arguments[1];
    std::signal(SIGHUP, SIG_IGN);
    std::signal(SIGINT, SIG_IGN);
    char byte = 0;
    ssize_t got = 0;
    do {
        got = ::read(STDIN_FILENO, &byte, 1);
    } while (got < 0 && errno == EINTR);
    if (got == 1)
        return 0;
    ::alarm(kWatchdogActSeconds);
    qCInfo(logOffice) << "the program ended without ending its office; the watchdog does";
    endOfficeIfUnused(office);
    return 0;
}

void endOfficeIfUnused(const StartedOffice &office) noexcept
{
    // Gone already, or it handed the pipe to an office that was running before
    // ours: that one is the user's.
    if (!isOfficeProcess(office.pid, office.pipeName))
        return;
    try {
        if (const std::optional<OfficeConnection> connection = connectIfAnswering(office.pipeName)) {
            if (closeHiddenDocuments(*connection))
                return;
            if (connection->desktop->terminate())
                return;
        }
    } catch (const css::lang::DisposedException &) {
        // The bridge going away under the call is the office ending.
        return;
    } catch (const css::uno::Exception &) {
        // Refused half-way: the signal below still ends it, unless the user's
        // documents are open in it.
        try {
            if (const std::optional<OfficeConnection> connection = connectIfAnswering(office.pipeName))
                if (!documentsOf(*connection).empty())
                    return;
        } catch (const css::uno::Exception &) {
        }
    } catch (const Failure &) {
        // No UNO runtime here: the signal below still ends it.
    }
    // Not up yet, or it refused to end while nothing of the user's is open in it.
    terminateOfficeProcesses(office.pid, office.pipeName);
}

}  // namespace qm::calc
