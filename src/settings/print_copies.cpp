#include "settings/print_copies.h"

#include "settings/ini_file.h"
#include "settings/settings_failures.h"
#include "settings/settings_keys.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

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
    return toPrintCopies(ReadIniValue(iniPath, settings::actNumberSection(), settings::copiesKey(),
                                      settings::copiesDefault()),
                         iniPath);
}

}  // namespace qm
