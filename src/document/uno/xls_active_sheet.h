#pragma once

#include <QByteArray>

#include <optional>

namespace qm::calc {

// The position of the sheet that was active when an Excel 97-2003 workbook was
// saved, read from the file itself (its window settings). LibreOffice applies
// this setting only when a window first shows the document, so for a document
// kept hidden it would report the first sheet instead.
// Returns nothing for anything that is not a readable .xls workbook; never reads
// outside the given bytes, whatever they hold.
std::optional<int> xlsActiveSheetIndex(const QByteArray &file);

}  // namespace qm::calc
