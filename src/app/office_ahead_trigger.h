#pragma once

class QWidget;

namespace qm {

class SpreadsheetApplication;

// Has the spreadsheet application started ahead once the window has been
// painted for the first time, so the start-up the mechanic watches is not made
// longer, and ends that office when the window closes if no act took it.
void startOfficeAheadAfterFirstPaint(QWidget &window, SpreadsheetApplication &spreadsheet);

}  // namespace qm
