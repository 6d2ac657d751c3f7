#include "common/windows1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace qm {

std::optional<QByteArray> toWindows1251(const QString &text)
{
    QStringEncoder encoder("windows-1251", QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.isValid() || encoder.hasError())
        return std::nullopt;
    return bytes;
}

QString fromWindows1251(QByteArrayView bytes)
{
    QStringDecoder decoder("windows-1251", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

QString fromCp866(QByteArrayView bytes)
{
    QStringDecoder decoder("IBM866", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

}  // namespace qm
