#pragma once

#include "document/uno/office_launch.h"
#include "document/uno/office_watchdog.h"

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

namespace qm::calc {

// An office process the program started, with the watchdog that ends it
// should the program be killed outright.
struct OwnedOffice {
    // Launches soffice and its watchdog and returns at once. Throws Failure
    // 429 when the office cannot even be launched.
    static OwnedOffice launch(const LibreOfficeOptions &options);

    // Whether the office's launcher still runs: it stays for as long as the
    // office does, and ends at once when an office already running on the
    // same profile takes the pipe over.
    bool isRunning() const;

    // What «Выход» does: hidden workbooks closed, the office ended unless
    // something of the user's is open in it; the watchdog then leaves.
    void endIfUnused() noexcept;

    StartedOffice started;
    std::unique_ptr<OfficeWatchdog> watchdog;
};

// An office started before anyone needs it. The window's thread never waits
// for it: a thread of its own connects once it answers and gets it ready for
// the first act, making one workbook from the template and closing it again, so
// that the first act pays no more than the next (this process's UNO runtime,
// the connection, the office's spreadsheet and import code, all loaded).
class OfficeStartedAhead {
public:
    OfficeStartedAhead(LibreOfficeOptions options, QString templatePath);
    ~OfficeStartedAhead();
    OfficeStartedAhead(const OfficeStartedAhead &) = delete;
    OfficeStartedAhead &operator=(const OfficeStartedAhead &) = delete;

    // Waits for the office to be ready, within the start deadline, and hands
    // over the connection. Nothing when it died or never came up: then nothing
    // of it is left running either.
    std::optional<OfficeConnection> takeOver();

    // Gives up waiting for it (the program ends); returns once the thread has.
    void stop() noexcept;

    // The office itself.
    OwnedOffice &office() { return office_; }

private:
    void getReady();

    LibreOfficeOptions options_;
    QString templatePath_;
    OwnedOffice office_;
    std::atomic<bool> stopped_{false};
    std::optional<OfficeConnection> connection_;
    std::thread thread_;
};

}  // namespace qm::calc
