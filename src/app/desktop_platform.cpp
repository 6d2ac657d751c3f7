#include "app/desktop_platform.h"

#include "app/program_archive.h"
#include "input/keyboard_layout.h"

namespace qm {

DesktopPlatform::DesktopPlatform(const QString &programFolder, Prompts &prompts, const LibreOfficeOptions &office)
    : keyboardLayout_(makeSystemKeyboardLayout()),
      spreadsheet_(makeLibreOfficeCalc(office)),
      archive_(makeProgramArchive(programFolder))
{
    services_.programFolder = programFolder;
    services_.prompts = &prompts;
    services_.keyboardLayout = keyboardLayout_.get();
    services_.spreadsheet = spreadsheet_.get();
    services_.archive = archive_.get();
}

DesktopPlatform::~DesktopPlatform() = default;

}  // namespace qm
