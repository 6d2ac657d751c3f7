#pragma once

#include "common/act_data.h"

#include <QStringList>

namespace qm {

class SpreadsheetInstance;

// Makes a new workbook from the template in the given instance and writes the
// act into the 37 cells of its active sheet. Saves, prints,
// shows and closes nothing. Throws qm::Failure; cells already written stay.
void FillActTemplate(SpreadsheetInstance &excel, const ActData &act, const QString &templatePath);

// "01.03.2027г." — the act's date as the act prints it.
QString actDateText(const QDate &date);

// The text of a number field spread over a row of `cells` cells: the text
// filled up by at most two spaces at its end, one character per cell, the
// empty string past its end, nothing past the last cell.
QStringList spreadOverCells(const QString &text, int cells);

}  // namespace qm
