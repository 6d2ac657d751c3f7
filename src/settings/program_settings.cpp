#include "settings/program_settings.h"

#include "common/program_log.h"
#include "settings/ini_file.h"

#include <QDir>
#include <QRegularExpression>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace qm::settings {
namespace {

QString place(const QString &iniPath, const QString &section, const QString &key, const QString &value)
{
    return u"файл настроек «%1», раздел «%2», ключ «%3», значение «%4»"_s.arg(QDir::toNativeSeparators(iniPath),
                                                                              section, key, value);
}

}  // namespace

Failure overflow(const QString &iniPath, const QString &section, const QString &key, const QString &value,
                 const QString &reason)
{
    return Failure(FailureCode::Overflow, u"Переполнение: %1. %2"_s.arg(place(iniPath, section, key, value), reason));
}

Failure typeMismatch(const QString &iniPath, const QString &section, const QString &key, const QString &value,
                     const QString &expected)
{
    return Failure(FailureCode::TypeMismatch,
                   u"Несоответствие типа: %1. %2"_s.arg(place(iniPath, section, key, value), expected));
}

}  // namespace qm::settings

namespace qm {
namespace {

bool isSkippedByVal(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Rounding by hand rather than through the floating-point environment, whose
// rounding mode a library could have changed.
double roundHalfToEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5)
        return lower;
    if (fraction > 0.5)
        return lower + 1;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

// A hundred years of working days; more would be a typing slip.
constexpr int kMostBackupDays = 36500;

}  // namespace

double leadingNumber(const QString &text)
{
    QString squeezed;
    squeezed.reserve(text.size());
    for (QChar c : text) {
        if (!isSkippedByVal(c))
            squeezed.append(c);
    }

    // Only the well-formed prefix is handed to the converter, so what follows
    // the number ("2 копии") cannot make the conversion fail.
    qsizetype pos = 0;
    const qsizetype size = squeezed.size();
    auto skipDigits = [&] {
        const qsizetype start = pos;
        while (pos < size && isDigit(squeezed[pos]))
            ++pos;
        return pos - start;
    };

    if (pos < size && (squeezed[pos] == u'+' || squeezed[pos] == u'-'))
        ++pos;
    qsizetype mantissaDigits = skipDigits();
    if (pos < size && squeezed[pos] == u'.') {
        ++pos;
        mantissaDigits += skipDigits();
    }
    if (mantissaDigits == 0)
        return 0;

    QString number = squeezed.first(pos);
    if (pos < size && QStringView(u"EeDd").contains(squeezed[pos])) {
        qsizetype exponentPos = pos + 1;
        if (exponentPos < size && (squeezed[exponentPos] == u'+' || squeezed[exponentPos] == u'-'))
            ++exponentPos;
        const qsizetype exponentStart = exponentPos;
        while (exponentPos < size && isDigit(squeezed[exponentPos]))
            ++exponentPos;
        if (exponentPos > exponentStart)
            number += u'e' + squeezed.sliced(pos + 1, exponentPos - pos - 1);
    }

    // The converter's own verdict is not needed: the text is well formed, and
    // an exponent out of range already comes back as infinity or zero.
    return number.toDouble();
}

qint16 toPrintCopies(const QString &quan, const QString &iniPath)
{
    const double number = leadingNumber(quan);
    const double rounded = std::isfinite(number) ? roundHalfToEven(number) : number;
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max())) {
        throw settings::overflow(iniPath, settings::actNumberSection(), settings::copiesKey(), quan,
                                 u"Число копий должно лежать в пределах от -32768 до 32767."_s);
    }
    return static_cast<qint16>(rounded);
}

qint16 readPrintCopies(const QString &iniPath)
{
    return toPrintCopies(
        ReadIniValue(iniPath, settings::actNumberSection(), settings::copiesKey(), settings::copiesDefault()), iniPath);
}

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
    return toNullKeyCode(
        ReadIniValue(iniPath, settings::systemSection(), settings::nullKeyKey(), settings::nullKeyDefault()), iniPath);
}

bool readOfficeAhead(const QString &iniPath)
{
    return ReadIniValue(iniPath, settings::systemSection(), settings::officeAheadKey(), settings::officeAheadDefault())
        != QStringLiteral("0");
}

bool readSavePdf(const QString &iniPath)
{
    return ReadIniValue(iniPath, settings::systemSection(), settings::savePdfKey(), settings::savePdfDefault())
        != QStringLiteral("0");
}

int readBackupDays(const QString &iniPath)
{
    const QString text
        = ReadIniValue(iniPath, settings::archiveSection(), settings::backupDaysKey(), settings::backupDaysDefault());
    bool isNumber = false;
    const int days = text.trimmed().toInt(&isNumber);
    if (isNumber && days >= 0 && days <= kMostBackupDays)
        return days;
    qCWarning(logSettings).noquote() << "BackupDays" << text << "in" << iniPath << "is not a number of days; kept"
                                     << settings::backupDaysDefault();
    return settings::backupDaysDefault().toInt();
}

}  // namespace qm
