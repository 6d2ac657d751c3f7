#include "app/program/desktop_platform.h"

#include "archive/dbf_archive.h"
#include "input/keyboard_layout.h"
#include "settings/program_settings.h"

using namespace Qt::StringLiterals;

namespace qm {

DesktopPlatform::DesktopPlatform(const QString &programFolder, Prompts &prompts, const LibreOfficeOptions &office)
    : keyboardLayout_(makeSystemKeyboardLayout()), spreadsheet_(makeLibreOfficeCalc(office)),
      archive_(makeProgramArchive(programFolder))
{
    services_.programFolder = programFolder;
    services_.prompts = &prompts;
    services_.keyboardLayout = keyboardLayout_.get();
    services_.spreadsheet = spreadsheet_.get();
    services_.archive = archive_.get();
}

DesktopPlatform::~DesktopPlatform() = default;

std::unique_ptr<DbfArchive> makeProgramArchive(const QString &programFolder, std::function<QDate()> today)
{
    const int keep = readBackupDays(programFolder + u"/Quillmarch.ini"_s);
    return std::make_unique<DbfArchive>(programFolder, ArchiveBackupPlan{keep, std::move(today)});
}

}  // namespace qm
