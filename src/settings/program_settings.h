#pragma once

#include "common/failure.h"

#include <QString>
#include <QtGlobal>

// The settings the program reads from the file beside it: where each lives,
// what a missing key stands for, how its text becomes a value, and how a
// hand-edited value that cannot be used is reported. The pick lists, which
// are lists rather than single values, are in pick_lists.h.

namespace qm::settings {

// Sections and keys of the settings file, with the values a missing key
// stands for. Numbered list keys are the prefix followed by 1, 2, ...
inline QString actNumberSection()
{
    return QStringLiteral("ActNumber");
}
inline QString copiesKey()
{
    return QStringLiteral("Quan");
}
inline QString copiesDefault()
{
    return QStringLiteral("1");
}

inline QString systemSection()
{
    return QStringLiteral("System");
}
inline QString nullKeyKey()
{
    return QStringLiteral("KeyNull");
}
inline QString nullKeyDefault()
{
    return QStringLiteral("127");
}
inline QString officeAheadKey()
{
    return QStringLiteral("OfficeAhead");
}
inline QString officeAheadDefault()
{
    return QStringLiteral("1");
}
inline QString savePdfKey()
{
    return QStringLiteral("SavePdf");
}
inline QString savePdfDefault()
{
    return QStringLiteral("1");
}

inline QString archiveSection()
{
    return QStringLiteral("Archive");
}
inline QString backupDaysKey()
{
    return QStringLiteral("BackupDays");
}
inline QString backupDaysDefault()
{
    return QStringLiteral("30");
}

inline QString techniciansSection()
{
    return QStringLiteral("TechNames");
}
inline QString technicianKeyPrefix()
{
    return QStringLiteral("Tech");
}

inline QString kkmModelsSection()
{
    return QStringLiteral("KKM");
}
inline QString kkmModelKeyPrefix()
{
    return QStringLiteral("KKM");
}

// Failures caused by a hand-edited settings file. Each names the file, the
// section, the key and the value, so the mechanic knows which line to fix.
Failure overflow(const QString &iniPath, const QString &section, const QString &key, const QString &value,
                 const QString &reason);
Failure typeMismatch(const QString &iniPath, const QString &section, const QString &key, const QString &value,
                     const QString &expected);

}  // namespace qm::settings

namespace qm {

// The number of copies offered for printing, from the text of "Quan": the
// number the text begins with ("2 копии" is 2, "abc" and "" are 0), rounded to
// the nearest integer with halves going to the even one (2.5 is 2, 3.5 is 4).
// A number outside the 16-bit signed range is Failure 6 naming the file.
qint16 toPrintCopies(const QString &quan, const QString &iniPath);

// "Quan" of section "ActNumber" (default "1"), converted as above.
qint16 readPrintCopies(const QString &iniPath);

// The number a text begins with, read the way the classic Val reads it:
// blanks, tabs and line feeds are skipped wherever they are; an optional sign,
// digits, a decimal point and an exponent (E or D) are taken; the first other
// character ends the number. A text that does not begin with one gives 0;
// an exponent too large for a double gives infinity.
double leadingNumber(const QString &text);

// The key code that empties a text field, from the text of "KeyNull": a decimal
// integer with an optional sign and blanks around it. Anything else, the empty
// text included, is Failure 13; an integer outside the 16-bit signed range is
// Failure 6. Both name the file.
qint16 toNullKeyCode(const QString &keyNull, const QString &iniPath);

// "KeyNull" of section "System" (default "127"), converted as above.
qint16 readNullKeyCode(const QString &iniPath);

// Whether the spreadsheet application is started ahead of the first act:
// "OfficeAhead" of section "System". Only "0" turns it off; a missing key or
// any other value leaves it on, as a mistyped value must not stop the program.
bool readOfficeAhead(const QString &iniPath);

// Whether a PDF copy of every act is written beside the archive: "SavePdf" of
// section "System". Only "0" turns it off; a missing key or any other value
// leaves it on, so a mistyped value never loses a copy.
bool readSavePdf(const QString &iniPath);

// How many daily backups of the archive are kept: "BackupDays" of section
// "Archive", a decimal number of 0 or more; 0 turns backups off. A missing key
// or a value that is no such number keeps the default of 30, as a mistyped
// value must neither stop the program nor stop the backups.
int readBackupDays(const QString &iniPath);

}  // namespace qm
