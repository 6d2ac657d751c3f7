#pragma once

#include "app/main_window/form1.h"
#include "document/uno/libreoffice_calc.h"

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

}  // namespace qm
