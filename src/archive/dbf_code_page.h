#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

namespace qm {

// The 8-bit code page of a table's text, from its language driver byte.
enum class DbfCodePage { Windows1251, Cp866 };

// 0x26 and 0x65 are the DOS Cyrillic drivers; 0xC9, 0 and anything else are
// taken as the system's own Windows-1251.
DbfCodePage codePageForLanguageDriver(std::uint8_t languageDriver);

QString decodeDbfText(QByteArrayView bytes, DbfCodePage codePage);
// nullopt when a character has no byte in the code page.
std::optional<QByteArray> encodeDbfText(const QString &text, DbfCodePage codePage);

}  // namespace qm
