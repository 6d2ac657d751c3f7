#pragma once

#include <QString>

namespace qm {

// How many daily backups of the archive are kept: "BackupDays" of section
// "Archive", a decimal number of 0 or more; 0 turns backups off. A missing key
// or a value that is no such number keeps the default of 30, as a mistyped
// value must neither stop the program nor stop the backups.
int readBackupDays(const QString &iniPath);

}  // namespace qm
