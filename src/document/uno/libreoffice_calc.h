#pragma once

#include "document/spreadsheet.h"

#include <QString>

#include <memory>

namespace qm {

// How instances of LibreOffice Calc are started. The defaults are those of the
// mechanic's desktop: the installed office, on the user's own profile, so their
// printers and settings apply.
struct LibreOfficeOptions {
    // The soffice launcher; empty means the one of the installed LibreOffice.
    QString sofficePath;
    // Start without any window system (tests, build machines).
    bool headless = false;
    // Folder of a private office profile; empty means the user's own profile.
    QString profileDir;
    // When set, printing writes the active workbook to this file instead of the
    // printer (tests read the printed act back from it).
    QString printToFile;
    // How long a freshly started office may take to answer.
    int startTimeoutSeconds = 30;
    // The program run as the watchdog of every office it starts (with the
    // option of office_watchdog.h); empty runs none.
    QString watchdogProgram;
};

// An instance that can tell whether its office is still there. After the office
// went away every operation fails with number 462; a caller that wants to go on
// has to start a new instance.
class LibreOfficeInstance : public SpreadsheetInstance {
public:
    virtual bool isAlive() const = 0;
};

// The spreadsheet application on LibreOffice Calc. Every instance it starts is a
// LibreOfficeInstance. The office is kept connected from one act to the next;
// each act still gets a workbook of its own, shown and left with the user.
std::unique_ptr<SpreadsheetApplication> makeLibreOfficeCalc(const LibreOfficeOptions &options);

}  // namespace qm
