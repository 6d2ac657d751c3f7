#pragma once

#include <QString>

namespace qm {

// Whether a PDF copy of every act is written beside the archive: "SavePdf" of
// section "System". Only "0" turns it off; a missing key or any other value
// leaves it on, so a mistyped value never loses a copy.
bool readSavePdf(const QString &iniPath);

}  // namespace qm
