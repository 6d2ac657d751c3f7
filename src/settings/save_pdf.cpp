#include "settings/save_pdf.h"

#include "settings/ini_file.h"
#include "settings/settings_keys.h"

namespace qm {

bool readSavePdf(const QString &iniPath)
{
    return ReadIniValue(iniPath, settings::systemSection(), settings::savePdfKey(), settings::savePdfDefault())
        != QStringLiteral("0");
}

}  // namespace qm
