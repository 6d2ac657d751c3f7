#pragma once

#include <QString>

namespace qm::settings {

// Sections and keys of the settings file beside the program, with the values a
// missing key stands for. Numbered list keys are the prefix followed by 1, 2, ...
inline QString actNumberSection() { return QStringLiteral("ActNumber"); }
inline QString copiesKey() { return QStringLiteral("Quan"); }
inline QString copiesDefault() { return QStringLiteral("1"); }

inline QString systemSection() { return QStringLiteral("System"); }
inline QString nullKeyKey() { return QStringLiteral("KeyNull"); }
inline QString nullKeyDefault() { return QStringLiteral("127"); }
inline QString officeAheadKey() { return QStringLiteral("OfficeAhead"); }
inline QString officeAheadDefault() { return QStringLiteral("1"); }
inline QString savePdfKey() { return QStringLiteral("SavePdf"); }
inline QString savePdfDefault() { return QStringLiteral("1"); }

inline QString archiveSection() { return QStringLiteral("Archive"); }
inline QString backupDaysKey() { return QStringLiteral("BackupDays"); }
inline QString backupDaysDefault() { return QStringLiteral("30"); }

inline QString techniciansSection() { return QStringLiteral("TechNames"); }
inline QString technicianKeyPrefix() { return QStringLiteral("Tech"); }

inline QString kkmModelsSection() { return QStringLiteral("KKM"); }
inline QString kkmModelKeyPrefix() { return QStringLiteral("KKM"); }

}  // namespace qm::settings
