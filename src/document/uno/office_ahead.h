#pragma once

#include "document/uno/office_launch.h"

#include <optional>

namespace qm::calc {

// An office started before anyone needs it. Nothing waits for it to come up:
// the first instance the program asks for connects to it then.
class OfficeStartedAhead {
public:
    // Launches soffice and returns at once. Throws Failure 429 when it cannot
    // even be launched.
    explicit OfficeStartedAhead(LibreOfficeOptions options);

    // Waits for the office to answer, within the start deadline, and hands over
    // the connection. Nothing when it died or never came up: then nothing of it
    // is left running either.
    std::optional<OfficeConnection> takeOver();

    // Ends the office, unless documents were opened in it meanwhile (the user
    // may open one of their own in the office that runs on their profile).
    // Does not wait for it to go, and never fails.
    void end() noexcept;

private:
    bool hasProcess() const;

    LibreOfficeOptions options_;
    StartedOffice started_;
};

}  // namespace qm::calc
