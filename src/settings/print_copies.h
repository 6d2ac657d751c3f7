#pragma once

#include <QString>
#include <QtGlobal>

namespace qm {

// The number of copies offered for printing, from the text of "Quan": the
// number the text begins with ("2 копии" is 2, "abc" and "" are 0), rounded to
// the nearest integer with halves going to the even one (2.5 is 2, 3.5 is 4).
// A number outside the 16-bit signed range is Failure 6 naming the file.
qint16 toPrintCopies(const QString &quan, const QString &iniPath);

// "Quan" of section "ActNumber" (default "1"), converted as above.
qint16 readPrintCopies(const QString &iniPath);

// The number a text begins with, read the way the classic Val reads it:
// blanks, tabs and line feeds are skipped wherever they are; an optional sign,
// digits, a decimal point and an exponent (E or D) are taken; the first other
// character ends the number. A text that does not begin with one gives 0;
// an exponent too large for a double gives infinity.
double leadingNumber(const QString &text);

}  // namespace qm
