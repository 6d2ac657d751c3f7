#include "document/uno/uno_failure.h"

#include "document/uno/uno_values.h"

#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>

#include <utility>

using namespace Qt::StringLiterals;

namespace qm::calc {

namespace {

// The office's own words are English and name its source files: the mechanic
// reads what was being done, the log keeps what the office said.
Failure officeGone(const QString &action, const QString &detail)
{
    return Failure(FailureCode::ServerUnavailable, u"LibreOffice больше не отвечает (операция: %1)"_s.arg(action),
                   detail);
}

Failure operationRefused(const QString &action, const QString &detail)
{
    return Failure(FailureCode::ApplicationDefined, u"LibreOffice не выполнила операцию «%1»"_s.arg(action), detail);
}

}  // namespace

OfficeSession::OfficeSession(OfficeConnection connection) : connection_(std::move(connection)) {}

void OfficeSession::requireAlive(const QString &action) const
{
    if (!alive_)
        throw officeGone(action, QString());
}

bool OfficeSession::officeAnswers() const
{
    try {
        return connection_.context->getServiceManager().is();
    } catch (const css::uno::Exception &) {
        return false;
    }
}

bool OfficeSession::answers()
{
    if (alive_ && !officeAnswers())
        alive_ = false;
    return alive_;
}

void OfficeSession::failFromCurrentException(const QString &action)
{
    try {
        throw;
    } catch (const css::lang::DisposedException &e) {
        alive_ = false;
        throw officeGone(action, toQString(e.Message));
    } catch (const css::uno::RuntimeException &e) {
        // A dead bridge reports itself with plain runtime errors too; only asking
        // the office tells them apart from a refused operation.
        if (!officeAnswers()) {
            alive_ = false;
            throw officeGone(action, toQString(e.Message));
        }
        throw operationRefused(action, toQString(e.Message));
    } catch (const css::uno::Exception &e) {
        throw operationRefused(action, toQString(e.Message));
    }
}

}  // namespace qm::calc
