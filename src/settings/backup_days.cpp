#include "settings/backup_days.h"

#include "common/program_log.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

namespace qm {
namespace {

// A hundred years of working days; more would be a typing slip.
constexpr int kMostBackupDays = 36500;

}  // namespace

int readBackupDays(const QString &iniPath)
{
    const QString text =
        ReadIniValue(iniPath, settings::archiveSection(), settings::backupDaysKey(), settings::backupDaysDefault());
    bool isNumber = false;
    const int days = text.trimmed().toInt(&isNumber);
    if (isNumber && days >= 0 && days <= kMostBackupDays)
        return days;
    qCWarning(logSettings).noquote() << "BackupDays" << text << "in" << iniPath << "is not a number of days; kept"
                                     << settings::backupDaysDefault();
    return settings::backupDaysDefault().toInt();
}

}  // namespace qm
