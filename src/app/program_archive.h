#pragma once

#include "archive/dbf_archive.h"

#include <QDate>
#include <QString>

#include <functional>
#include <memory>

namespace qm {

// The archive of a program folder as the program keeps it: QM.dbf, copied into
// backup/ before the first act of each day, as many days kept as the settings
// file's "BackupDays" says. `today` is the calendar day on which an act is
// appended: the real clock, or a test's.
std::unique_ptr<DbfArchive> makeProgramArchive(
    const QString &programFolder, std::function<QDate()> today = [] { return QDate::currentDate(); });

}  // namespace qm
