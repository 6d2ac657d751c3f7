#pragma once

#include <QString>
#include <QtGlobal>

namespace qm {

// The key code that empties a text field, from the text of "KeyNull": a decimal
// integer with an optional sign and blanks around it. Anything else, the empty
// text included, is Failure 13; an integer outside the 16-bit signed range is
// Failure 6. Both name the file.
qint16 toNullKeyCode(const QString &keyNull, const QString &iniPath);

// "KeyNull" of section "System" (default "127"), converted as above.
qint16 readNullKeyCode(const QString &iniPath);

}  // namespace qm
