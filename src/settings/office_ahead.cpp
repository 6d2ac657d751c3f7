#include "settings/office_ahead.h"

#include "settings/ini_file.h"
#include "settings/settings_keys.h"

namespace qm {

bool readOfficeAhead(const QString &iniPath)
{
    return ReadIniValue(iniPath, settings::systemSection(), settings::officeAheadKey(), settings::officeAheadDefault())
        != QStringLiteral("0");
}

}  // namespace qm
