#pragma once

#include "app/main_window/form1.h"
#include "document/uno/libreoffice_calc.h"

#include <QDate>
#include <QString>

#include <functional>
#include <memory>

namespace qm {

class DbfArchive;

// The real platform pieces of a desktop run: the session's keyboard layouts,
// LibreOffice Calc and the archive file in the program folder. The caller
// brings the prompts (real dialogs, or a driver's own answers).
class DesktopPlatform {
public:
    DesktopPlatform(const QString &programFolder, Prompts &prompts, const LibreOfficeOptions &office = {});
    ~DesktopPlatform();
    DesktopPlatform(const DesktopPlatform &) = delete;
    DesktopPlatform &operator=(const DesktopPlatform &) = delete;

    const MainWindowServices &services() const { return services_; }

private:
    std::unique_ptr<KeyboardLayout> keyboardLayout_;
    std::unique_ptr<SpreadsheetApplication> spreadsheet_;
    std::unique_ptr<DbfArchive> archive_;
    MainWindowServices services_;
};

// The archive of a program folder as the program keeps it: QM.dbf, copied into
// backup/ before the first act of each day, as many days kept as the settings
// file's "BackupDays" says. `today` is the calendar day on which an act is
// appended: the real clock, or a test's.
std::unique_ptr<DbfArchive> makeProgramArchive(
    const QString &programFolder, std::function<QDate()> today = [] { return QDate::currentDate(); });

}  // namespace qm
