#include "archive/dbf_code_page.h"

#include "common/windows1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace qm {

DbfCodePage codePageForLanguageDriver(std::uint8_t languageDriver)
{
    return languageDriver == 0x26 || languageDriver == 0x65 ? DbfCodePage::Cp866 : DbfCodePage::Windows1251;
}

namespace {

using ByteTable = std::array<char16_t, 256>;

// Both code pages give each byte one character, whatever stands around it, so
// the converter is asked once for every byte and a cell is then decoded by
// looking its bytes up: a full scan decodes millions of cells, and a call into
// the converter costs more than the cell itself.
ByteTable tableOf(const char *codePageName)
{
    QStringDecoder decoder(codePageName, QStringConverter::Flag::Stateless);
    ByteTable table{};
    for (int byte = 0; byte < 256; ++byte) {
        const char single = char(byte);
        const QString decoded = decoder.decode(QByteArrayView(&single, 1));
        table[std::size_t(byte)]
            = decoded.size() == 1 ? decoded.at(0).unicode() : char16_t(QChar::ReplacementCharacter);
    }
    return table;
}

}  // namespace

QString decodeDbfText(QByteArrayView bytes, DbfCodePage codePage)
{
    static const ByteTable windows1251 = tableOf("windows-1251");
    static const ByteTable dos = tableOf("IBM866");
    const ByteTable &table = codePage == DbfCodePage::Cp866 ? dos : windows1251;
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (const char byte : bytes)
        *out++ = table[std::size_t(static_cast<unsigned char>(byte))];
    return text;
}

std::optional<QByteArray> encodeDbfText(const QString &text, DbfCodePage codePage)
{
    if (codePage == DbfCodePage::Windows1251)
        return toWindows1251(text);
    QStringEncoder encoder("IBM866", QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.isValid() || encoder.hasError())
        return std::nullopt;
    return bytes;
}

}  // namespace qm
