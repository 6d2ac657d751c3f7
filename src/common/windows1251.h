#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace qm {

// The 8-bit code page of every file the program reads or writes.
// Encoding fails (nullopt) when a character has no Windows-1251 byte:
// such text is refused, never silently replaced with '?'.
std::optional<QByteArray> toWindows1251(const QString &text);
QString fromWindows1251(QByteArrayView bytes);

// DOS Cyrillic, found in dBASE files written by old DOS tools.
QString fromCp866(QByteArrayView bytes);

}  // namespace qm
