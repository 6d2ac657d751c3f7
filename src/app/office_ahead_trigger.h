#pragma once

class QString;
class QWidget;

namespace qm {

class SpreadsheetApplication;

// Ties the spreadsheet application's processes to the window. When asked,
// has it started ahead once the window has been painted for the first time,
// so the start-up the mechanic watches is not made longer. Whenever the window
// closes, ends every office the program started that holds nothing of the
// user's.
void tieOfficeToWindow(QWidget &window, SpreadsheetApplication &spreadsheet, bool startAhead,
                       const QString &templatePath);

}  // namespace qm
