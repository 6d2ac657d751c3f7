#include "settings/ini_file.h"

#include "common/windows1251.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QString nameKey(QStringView name)
{
    return trimBlanks(name).toString().toCaseFolded();
}

QStringView withoutEnclosingQuotes(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

// "[name]" on a line of its own (blanks allowed around it) opens a section.
// Everything up to the last "]" belongs to the name, as the platform reads it.
bool isSectionLine(QStringView line, QStringView *name)
{
    if (!line.startsWith(u'['))
        return false;
    const qsizetype close = line.lastIndexOf(u']');
    if (close < 0)
        return false;
    *name = line.sliced(1, close - 1);
    return true;
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

QString decodedSettings(QByteArrayView bytes)
{
    static constexpr QByteArrayView kUtf8ByteOrderMark("\xEF\xBB\xBF");
    QStringDecoder utf8(QStringDecoder::Utf8);
    if (bytes.startsWith(kUtf8ByteOrderMark))
        return utf8(bytes);  // the mark itself is dropped; a broken sequence becomes U+FFFD
    if (!isAscii(bytes)) {
        const QString text = utf8(bytes);
        if (!utf8.hasError())
            return text;
    }
    return fromWindows1251(bytes);
}

// The first `count` characters: a character beyond the 16-bit range is two
// code units and is never cut in half.
QStringView firstCharacters(QStringView text, qsizetype count)
{
    qsizetype end = 0;
    for (qsizetype characters = 0; end < text.size() && characters < count; ++characters)
        end += text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate() ? 2 : 1;
    return text.first(end);
}

}  // namespace

IniFile IniFile::load(const QString &path)
{
    QFile file(path);
    // A folder, a file we may not read or no file at all: the platform lookup
    // answers each of them with the defaults, and so do we.
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

IniFile IniFile::parse(QByteArrayView fileBytes)
{
    IniFile ini;
    const QString text = decodedSettings(fileBytes);
    // Held by name: a pointer into the hash would not survive its growth.
    QString current;
    bool inSection = false;

    // CR, LF and CRLF all end a line; the empty lines this leaves are skipped.
    for (QStringView rawLine : QStringView(text).tokenize(u'\n')) {
        for (QStringView piece : rawLine.tokenize(u'\r')) {
            const QStringView line = trimBlanks(piece);
            if (line.isEmpty() || line.startsWith(u';'))
                continue;

            QStringView sectionName;
            if (isSectionLine(line, &sectionName)) {
                current = nameKey(sectionName);
                // A repeated section is never consulted: the first one wins.
                inSection = !ini.sections_.contains(current);
                if (inSection)
                    ini.sections_.insert(current, {});
                continue;
            }

            const qsizetype equals = line.indexOf(u'=');
            if (!inSection || equals < 0)
                continue;
            const QString key = nameKey(line.first(equals));
            Section &keys = ini.sections_[current];
            if (key.isEmpty() || keys.contains(key))
                continue;
            const QStringView value = withoutEnclosingQuotes(trimBlanks(line.sliced(equals + 1)));
            keys.insert(key, firstCharacters(value, MaxValueLength).toString());
        }
    }
    return ini;
}

const IniFile::Section *IniFile::findSection(const QString &name) const
{
    const auto found = sections_.constFind(nameKey(name));
    return found == sections_.cend() ? nullptr : &found.value();
}

QString IniFile::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Section *keys = findSection(section);
    if (keys == nullptr)
        return defaultValue;
    const auto found = keys->constFind(nameKey(key));
    return found == keys->cend() ? defaultValue : found.value();
}

QString ReadIniValue(const QString &file, const QString &section, const QString &key, const QString &defaultValue)
{
    return IniFile::load(file).value(section, key, defaultValue);
}

}  // namespace qm
