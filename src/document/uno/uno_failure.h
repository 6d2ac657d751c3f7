#pragma once

#include "document/uno/office_launch.h"

#include "common/failure.h"

#include <QString>

#include <com/sun/star/uno/Exception.hpp>

namespace qm::calc {

// The link to one office, shared by an instance and the sheets it handed out.
// Once the office has gone away it stays gone: every later operation fails with
// 462 at once instead of waiting on a dead pipe.
class OfficeSession {
public:
    explicit OfficeSession(OfficeConnection connection);

    bool isAlive() const { return alive_; }
    // Asks the office (one round trip); an office gone away stays gone.
    bool answers();
    const OfficeConnection &connection() const { return connection_; }

    // Runs one office operation; what it throws from UNO becomes a Failure.
    // action says in Russian what was being done ("записать ячейку C13").
    template <typename Operation> decltype(auto) run(const QString &action, Operation &&operation)
    {
        requireAlive(action);
        try {
            return operation();
        } catch (const css::uno::Exception &) {
            failFromCurrentException(action);
        }
    }

    [[noreturn]] void failFromCurrentException(const QString &action);

private:
    void requireAlive(const QString &action) const;
    bool officeAnswers() const;

    OfficeConnection connection_;
    bool alive_ = true;
};

}  // namespace qm::calc
