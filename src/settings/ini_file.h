#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace qm {

// The settings file as the platform's private-profile lookup sees it: sections
// and keys matched ignoring letter case and surrounding blanks, the first
// matching section and the first matching key in it winning, ";" lines being
// comments, values trimmed, unquoted and cut after 254 characters.
//
// The file is Windows-1251, as the platform wrote it. A file saved by a Linux
// text editor is UTF-8: one that begins with the UTF-8 byte-order mark, or that
// is valid UTF-8 and holds bytes beyond ASCII, is read as UTF-8 (Russian text
// in Windows-1251 is practically never valid UTF-8). Lengths count characters
// after decoding.
//
// One object is one reading of the file; nothing is cached between readings,
// so a file edited by hand while the program runs is seen at the next load.
class IniFile {
public:
    // A missing or unreadable file reads as empty.
    static IniFile load(const QString &path);
    static IniFile parse(QByteArrayView fileBytes);

    // The value of the key, or the default when the section or the key is
    // missing. A key present with nothing after "=" gives "", not the default.
    QString value(const QString &section, const QString &key, const QString &defaultValue) const;

    // Longest value the lookup delivers: its buffer holds 255 characters
    // including the terminating one.
    static constexpr qsizetype MaxValueLength = 254;

private:
    using Section = QHash<QString, QString>;  // case-folded key -> value

    const Section *findSection(const QString &name) const;

    QHash<QString, Section> sections_;  // case-folded section name -> keys
};

// One lookup of one key in the file, reading the file afresh.
QString ReadIniValue(const QString &file, const QString &section, const QString &key, const QString &defaultValue);

}  // namespace qm
