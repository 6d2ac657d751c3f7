#pragma once

#include "app/act_data.h"

namespace qm {

class Archive;

// Appends the act standing in the main window to the archive and shows the new
// record count in the status bar. Throws qm::Failure; nothing is stored unless
// the append was committed.
void SaveActToArchive(const ActData &act, Archive &archive);

// ACTDATE as stored: day.month.year without leading zeros ("6.1.2012").
QString archiveDateText(const QDate &date);

// EKLZREG as stored: exactly ten characters, padded with spaces or cut.
QString paddedRegistrationNumber(const QString &text);

}  // namespace qm
