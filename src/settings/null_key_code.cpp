#include "settings/null_key_code.h"

#include "settings/ini_file.h"
#include "settings/settings_failures.h"
#include "settings/settings_keys.h"

#include <QRegularExpression>

#include <limits>

using namespace Qt::StringLiterals;

namespace qm {

qint16 toNullKeyCode(const QString &keyNull, const QString &iniPath)
{
    static const QRegularExpression integer(u"^[ \\t]*[+-]?[0-9]+[ \\t]*$"_s);
    if (!integer.match(keyNull).hasMatch()) {
        throw settings::typeMismatch(iniPath, settings::systemSection(), settings::nullKeyKey(), keyNull,
                                     u"Код клавиши должен быть целым числом."_s);
    }

    // The text is a well-formed integer, so a failed conversion can only mean
    // it is too long for 64 bits: out of range as much as 70000 is.
    bool converted = false;
    const qlonglong code = keyNull.trimmed().toLongLong(&converted);
    if (!converted || code < std::numeric_limits<qint16>::min() || code > std::numeric_limits<qint16>::max()) {
        throw settings::overflow(iniPath, settings::systemSection(), settings::nullKeyKey(), keyNull,
                                 u"Код клавиши должен лежать в пределах от -32768 до 32767."_s);
    }
    return static_cast<qint16>(code);
}

qint16 readNullKeyCode(const QString &iniPath)
{
    return toNullKeyCode(ReadIniValue(iniPath, settings::systemSection(), settings::nullKeyKey(),
                                      settings::nullKeyDefault()),
                         iniPath);
}

}  // namespace qm
