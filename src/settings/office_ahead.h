#pragma once

#include <QString>

namespace qm {

// Whether the spreadsheet application is started ahead of the first act:
// "OfficeAhead" of section "System". Only "0" turns it off; a missing key or
// any other value leaves it on, as a mistyped value must not stop the program.
bool readOfficeAhead(const QString &iniPath);

}  // namespace qm
