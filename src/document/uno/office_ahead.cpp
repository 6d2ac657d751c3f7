#include "document/uno/office_ahead.h"

#include "common/failure.h"
#include "document/uno/office_process.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>

#include <utility>

namespace qm::calc {

namespace {

bool hasDocuments(const OfficeConnection &office)
{
    const css::uno::Reference<css::container::XEnumerationAccess> components = office.desktop->getComponents();
    return components.is() && components->createEnumeration()->hasMoreElements();
}

}  // namespace

OfficeStartedAhead::OfficeStartedAhead(LibreOfficeOptions options)
    : options_(std::move(options)), started_(startOffice(options_))
{
}

bool OfficeStartedAhead::hasProcess() const
{
    return isOfficeProcess(started_.pid, started_.pipeName);
}

std::optional<OfficeConnection> OfficeStartedAhead::takeOver()
{
    try {
        // Once the launcher has gone, the pipe answers at once or never: it was
        // either handed to an office already running, or the office died.
        return connectToOffice(started_.pipeName, options_, [this] { return hasProcess(); });
    } catch (const Failure &) {
        // One that hangs must not linger unseen beside the office started instead.
        terminateOfficeProcesses(started_.pid, started_.pipeName);
        return std::nullopt;
    }
}

void OfficeStartedAhead::end() noexcept
{
    // Gone already, or it handed the pipe to an office that was running before
    // ours: that one is the user's.
    if (!hasProcess())
        return;
    try {
        if (const std::optional<OfficeConnection> office = connectIfAnswering(started_.pipeName)) {
            if (hasDocuments(*office))
                return;
            if (office->desktop->terminate())
                return;
        }
    } catch (const css::uno::Exception &) {
        // The bridge going away under the call is the office ending.
        return;
    } catch (const Failure &) {
        // No UNO runtime here: the signal below still ends it.
    }
    // Not up yet, or it refused to end while nothing of the user's is open in it.
    terminateOfficeProcesses(started_.pid, started_.pipeName);
}

}  // namespace qm::calc
