#include "archive/dbf_code_page.h"

#include "common/windows1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace qm {

DbfCodePage codePageForLanguageDriver(std::uint8_t languageDriver)
{
    return languageDriver == 0x26 || languageDriver == 0x65 ? DbfCodePage::Cp866 : DbfCodePage::Windows1251;
}

QString decodeDbfText(QByteArrayView bytes, DbfCodePage codePage)
{
    // Opening a converter costs far more than decoding one cell, and a full
    // scan decodes hundreds of thousands of them. Stateless decoders carry
    // nothing from one call to the next, so one per thread is enough.
    thread_local QStringDecoder windows1251("windows-1251", QStringConverter::Flag::Stateless);
    thread_local QStringDecoder dos("IBM866", QStringConverter::Flag::Stateless);
    return (codePage == DbfCodePage::Cp866 ? dos : windows1251).decode(bytes);
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
