// Any bytes as the settings file: parsed, then every key the program reads
// looked up and converted the way the program converts it, plus a few section
// and key names chosen by the input (after its first NUL byte, NUL-separated).
// The same text saved by a Linux editor (UTF-8 behind a byte-order mark) must
// read the same.
// A numbered Failure naming the file and the key is the expected answer to a
// bad value; a crash, undefined behaviour, a leak, another exception or a
// wrong answer is a bug.

#include "common/failure.h"
#include "common/windows1251.h"
#include "fuzz_check.h"
#include "settings/ini_file.h"
#include "settings/program_settings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;
using namespace qm;
using namespace qm::fuzz;

namespace {

const QString kIniPath = u"/программа/Quillmarch.ini"_s;
const QString kMissing = u"\u0001нет"_s;

using Lookup = std::pair<QString, QString>;  // section, key

QList<Lookup> programLookups(const IniFile &ini)
{
    QList<Lookup> lookups{{settings::actNumberSection(), settings::copiesKey()},
                          {settings::systemSection(), settings::nullKeyKey()}};
    // The pick lists read numbered keys up to the first missing or empty one.
    const std::pair<QString, QString> lists[] = {{settings::techniciansSection(), settings::technicianKeyPrefix()},
                                                 {settings::kkmModelsSection(), settings::kkmModelKeyPrefix()}};
    for (const auto &[section, prefix] : lists) {
        for (int number = 1; number <= 32767; ++number) {
            const QString key = prefix + QString::number(number);
            lookups.append({section, key});
            if (ini.value(section, key, QString()).isEmpty())
                break;
        }
    }
    return lookups;
}

QList<QString> chosenNames(QByteArrayView tail)
{
    QList<QString> names;
    while (!tail.isEmpty() && names.size() < 8) {
        const auto nul = std::find(tail.begin(), tail.end(), '\0');
        const qsizetype length = nul - tail.begin();
        names << fromWindows1251(tail.first(length));
        tail = tail.sliced(std::min(length + 1, tail.size()));
    }
    return names;
}

void checkFailureNames(const Failure &failure, const QString &key, const QString &value)
{
    check(failure.description().contains(kIniPath) && failure.description().contains(key),
          "a settings failure does not name the file and the key", failure.description());
    check(failure.description().contains(value), "a settings failure does not show the value", failure.description());
}

void convertAsCopies(const QString &value)
{
    try {
        toPrintCopies(value, kIniPath);
    } catch (const Failure &failure) {
        check(failure.number() == FailureCode::Overflow, "copies gave a failure other than 6", failure.description());
        checkFailureNames(failure, settings::copiesKey(), value);
    }
}

void convertAsNullKey(const QString &value)
{
    try {
        toNullKeyCode(value, kIniPath);
    } catch (const Failure &failure) {
        check(failure.number() == FailureCode::Overflow || failure.number() == FailureCode::TypeMismatch,
              "the null key gave a failure other than 6 or 13", failure.description());
        checkFailureNames(failure, settings::nullKeyKey(), value);
    }
}

qsizetype characterCount(const QString &text)
{
    return text.size() - std::count_if(text.cbegin(), text.cend(), [](QChar c) { return c.isLowSurrogate(); });
}

// The text as a UTF-8 editor saves it: what the reader decoded the bytes to,
// re-encoded behind the mark. Nothing when the input already has the mark.
std::optional<QByteArray> savedAsUtf8WithMark(QByteArrayView text)
{
    const QByteArrayView mark("\xEF\xBB\xBF");
    if (text.startsWith(mark))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(text);  // decoding is what sets hasError()
    return mark.toByteArray() + (utf8.hasError() ? fromWindows1251(text).toUtf8() : decoded.toUtf8());
}

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto nul = std::find(input.begin(), input.end(), '\0');
    const QByteArrayView text = input.first(nul - input.begin());

    const IniFile ini = IniFile::parse(text);
    // CR, LF and CRLF end a line alike: the same file with other line ends reads the same.
    QByteArray crlfText = text.toByteArray();
    crlfText.replace('\n', "\r\n");
    const IniFile crlfIni = IniFile::parse(crlfText);
    const std::optional<QByteArray> utf8Text = savedAsUtf8WithMark(text);
    const IniFile utf8Ini = IniFile::parse(utf8Text.value_or(QByteArray()));

    QList<Lookup> lookups = programLookups(ini);
    const QList<QString> names
        = chosenNames(nul == input.end() ? QByteArrayView() : input.sliced(nul - input.begin() + 1));
    for (qsizetype i = 0; i + 1 < names.size(); i += 2)
        lookups.append({names[i], names[i + 1]});

    for (const auto &[section, key] : lookups) {
        const QString value = ini.value(section, key, kMissing);
        check(value == kMissing || characterCount(value) <= IniFile::MaxValueLength,
              "a value longer than the lookup delivers", section + u'/' + key);
        check(crlfIni.value(section, key, kMissing) == value, "CRLF line ends changed a value", section + u'/' + key);
        check(!utf8Text || utf8Ini.value(section, key, kMissing) == value,
              "the same text saved as UTF-8 with the mark read differently", section + u'/' + key);
        if (isAscii(section) && isAscii(key)) {
            check(ini.value(section.toUpper(), key.toLower(), kMissing) == value,
                  "letter case of the names changed a lookup", section + u'/' + key);
        }
        convertAsCopies(value);
        convertAsNullKey(value);
    }
    return 0;
}
