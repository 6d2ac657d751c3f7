#include "document/uno/office_ahead.h"

#include "common/failure.h"
#include "document/uno/calc_instance.h"
#include "document/uno/office_launch.h"

#include <utility>

namespace qm::calc {

OwnedOffice OwnedOffice::launch(const LibreOfficeOptions &options)
{
    OwnedOffice office;
    office.started = startOffice(options);
    office.watchdog = OfficeWatchdog::start(options.watchdogProgram, office.started);
    return office;
}

bool OwnedOffice::isRunning() const
{
    return isOfficeProcess(started.pid, started.pipeName);
}

void OwnedOffice::endIfUnused() noexcept
{
    endOfficeIfUnused(started);
    if (watchdog)
        watchdog->disarm();
}

OfficeStartedAhead::OfficeStartedAhead(LibreOfficeOptions options, QString templatePath)
    : options_(std::move(options)), templatePath_(std::move(templatePath)), office_(OwnedOffice::launch(options_))
{
    prepareLocalRuntime();
    thread_ = std::thread([this] { getReady(); });
}

OfficeStartedAhead::~OfficeStartedAhead()
{
    stop();
}

void OfficeStartedAhead::stop() noexcept
{
    stopped_ = true;
    if (thread_.joinable())
        thread_.join();
}

void OfficeStartedAhead::getReady()
{
    try {
        // Once the launcher has gone, the pipe answers at once or never: it was
        // either handed to an office already running, or the office died.
        connection_
            = connectToOffice(office_.started.pipeName, options_, [this] { return !stopped_ && office_.isRunning(); });
    } catch (const Failure &) {
        return;
    }
    // An office the user had running is ready as it is.
    if (stopped_ || templatePath_.isEmpty() || !office_.isRunning())
        return;
    try {
        CalcInstance rehearsal(*connection_, QString());
        rehearsal.addWorkbookFromTemplate(templatePath_);
        rehearsal.activeSheet();
        rehearsal.closeUnshownWorkbooks();
    } catch (const Failure &) {
        // The first act meets the same trouble and reports it then.
    }
}

std::optional<OfficeConnection> OfficeStartedAhead::takeOver()
{
    if (thread_.joinable())
        thread_.join();
    if (!connection_)
        // One that hangs must not linger unseen beside the office started instead.
        terminateOfficeProcesses(office_.started.pid, office_.started.pipeName);
    return std::exchange(connection_, std::nullopt);
}

}  // namespace qm::calc
