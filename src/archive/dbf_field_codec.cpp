#include "archive/dbf_field_codec.h"

#include "common/failure.h"

#include <QDate>
#include <QMetaType>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

constexpr auto kDateFormat = "yyyyMMdd";

QByteArrayView withoutPadding(QByteArrayView cell)
{
    qsizetype end = cell.size();
    while (end > 0 && (cell.at(end - 1) == ' ' || cell.at(end - 1) == '\0'))
        --end;
    return cell.first(end);
}

[[noreturn]] void refuseStored(const DbfField &field, const QString &tableLabel, const QString &what,
                               QByteArrayView cell)
{
    throw Failure(
        FailureCode::TypeMismatch,
        u"Поле %1 таблицы %2 содержит %3: «%4»"_s.arg(field.name, tableLabel, what, QString::fromLatin1(cell)));
}

// What a column holds, as a refusal names it.
QString columnKind(char type)
{
    switch (type) {
    case 'L': return u"логическое"_s;
    case 'D': return u"дата"_s;
    case 'N':
    case 'F': return u"числовое"_s;
    default: return u"текстовое"_s;
    }
}

// The value itself stays out of the description: it is the act's content,
// and descriptions go to the log. The column's type and what was wrong with
// the value are what the mechanic needs to put it right.
[[noreturn]] void refuseType(const DbfField &field, const QString &tableLabel, const QVariant &value)
{
    QString what;
    if (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty())
        what = u"значение пустое"_s;
    else if (field.type == 'D')
        what = u"значение не является датой вида день.месяц.год"_s;
    else if (field.type == 'N' || field.type == 'F')
        what = u"значение не является числом"_s;
    else
        what = u"значение другого типа"_s;
    throw Failure(FailureCode::TypeMismatch,
                  u"Несоответствие типа: поле %1 таблицы %2 — %3 (тип %4), а %5."_s.arg(
                      field.name, tableLabel, columnKind(field.type), QString::fromLatin1(&field.type, 1), what));
}

[[noreturn]] void refuseTooLong(const DbfField &field, const QString &tableLabel, qsizetype length)
{
    throw Failure(FailureCode::FieldTooSmall,
                  u"Значение длиной %1 знаков не помещается в поле %2 таблицы %3 шириной %4 знаков."_s.arg(length)
                      .arg(field.name, tableLabel)
                      .arg(field.width));
}

QString codePageName(DbfCodePage codePage)
{
    return codePage == DbfCodePage::Cp866 ? u"866"_s : u"Windows-1251"_s;
}

// Each character of the text that has no byte in the code page, once, in the
// order they first appear, with its code point: the culprit is often one that
// looks like another or like nothing (a Latin "e", a non-breaking space).
QStringList charactersWithoutByte(const QString &text, DbfCodePage codePage)
{
    QStringList missing;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        i += length;
        if (encodeDbfText(character, codePage))
            continue;
        const QString codePoint = QString::number(character.toUcs4().value(0), 16).toUpper().rightJustified(4, u'0');
        const QString named = u"%1 (U+%2)"_s.arg(character, codePoint);
        if (!missing.contains(named))
            missing.append(named);
    }
    return missing;
}

[[noreturn]] void refuseCharacters(const DbfField &field, const QString &tableLabel, const QString &text,
                                   DbfCodePage codePage)
{
    const QStringList missing = charactersWithoutByte(text, codePage);
    const QString sentence = missing.size() == 1
        ? u"Символ %1 нельзя записать в поле %2 таблицы %3: его нет в кодировке таблицы (%4)."_s
        : u"Символы %1 нельзя записать в поле %2 таблицы %3: их нет в кодировке таблицы (%4)."_s;
    throw Failure(FailureCode::TypeMismatch,
                  sentence.arg(missing.join(u", "_s), field.name, tableLabel, codePageName(codePage)));
}

QByteArray padded(QByteArray bytes, const DbfField &field)
{
    bytes.resize(field.width, ' ');
    return bytes;
}

QVariant decodeLogical(const DbfField &field, QByteArrayView cell, const QString &tableLabel)
{
    if (cell.isEmpty() || cell == "?")
        return {};
    switch (cell.at(0)) {
    case 'T':
    case 't':
    case 'Y':
    case 'y': return true;
    case 'F':
    case 'f':
    case 'N':
    case 'n': return false;
    default: refuseStored(field, tableLabel, u"недопустимое логическое значение"_s, cell);
    }
}

QVariant decodeDate(const DbfField &field, QByteArrayView cell, const QString &tableLabel)
{
    // Some writers leave an empty date as zeros rather than spaces.
    if (cell.isEmpty() || cell == "00000000")
        return {};
    const QDate date = QDate::fromString(QString::fromLatin1(cell), QLatin1StringView(kDateFormat));
    if (!date.isValid())
        refuseStored(field, tableLabel, u"недопустимую дату"_s, cell);
    return date;
}

QVariant decodeNumber(const DbfField &field, QByteArrayView cell, const QString &tableLabel)
{
    const QByteArray text = cell.toByteArray().trimmed();
    if (text.isEmpty())
        return {};
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok)
        refuseStored(field, tableLabel, u"недопустимое число"_s, cell);
    return number;
}

QByteArray encodeText(const DbfField &field, const QString &text, DbfCodePage codePage, const QString &tableLabel)
{
    const std::optional<QByteArray> bytes = encodeDbfText(text, codePage);
    if (!bytes)
        refuseCharacters(field, tableLabel, text, codePage);
    // One byte a character in both code pages: the length in bytes is the one the mechanic counts.
    if (bytes->size() > field.width)
        refuseTooLong(field, tableLabel, bytes->size());
    return padded(*bytes, field);
}

QString plainDate(const QDate &date)
{
    return u"%1.%2.%3"_s.arg(date.day()).arg(date.month()).arg(date.year());
}

QByteArray encodeLogical(const DbfField &field, const QVariant &value, const QString &tableLabel)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return value.toBool() ? "T" : "F";
    default: refuseType(field, tableLabel, value);
    }
}

QByteArray encodeDate(const DbfField &field, const QVariant &value, const QString &tableLabel)
{
    QDate date;
    if (value.typeId() == QMetaType::QDate) {
        date = value.toDate();
    } else if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text.isEmpty())
            return QByteArray(field.width, ' ');
        date = QDate::fromString(text, u"d.M.yyyy"_s);
    }
    if (!date.isValid())
        refuseType(field, tableLabel, value);
    return date.toString(QLatin1StringView(kDateFormat)).toLatin1();
}

QByteArray encodeNumber(const DbfField &field, const QVariant &value, const QString &tableLabel)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        refuseType(field, tableLabel, value);
    const QByteArray text = QByteArray::number(number, 'f', field.decimals);
    if (text.size() > field.width)
        refuseTooLong(field, tableLabel, text.size());
    return text.rightJustified(field.width, ' ');
}

}  // namespace

QVariant decodeDbfCell(const DbfField &field, QByteArrayView cell, DbfCodePage codePage, const QString &tableLabel)
{
    const QByteArrayView content = withoutPadding(cell);
    switch (field.type) {
    case 'L': return decodeLogical(field, content, tableLabel);
    case 'D': return decodeDate(field, content, tableLabel);
    case 'N':
    case 'F': return decodeNumber(field, content, tableLabel);
    default:
        if (content.isEmpty())
            return {};
        return decodeDbfText(content, codePage);
    }
}

QByteArray encodeDbfCell(const DbfField &field, const QVariant &value, DbfCodePage codePage, const QString &tableLabel)
{
    if (value.isNull())
        return QByteArray(field.width, ' ');
    switch (field.type) {
    case 'L': return encodeLogical(field, value, tableLabel);
    case 'D': return encodeDate(field, value, tableLabel);
    case 'N':
    case 'F': return encodeNumber(field, value, tableLabel);
    default: break;
    }
    if (value.typeId() == QMetaType::QDate)
        return encodeText(field, plainDate(value.toDate()), codePage, tableLabel);
    if (value.typeId() == QMetaType::QString)
        return encodeText(field, value.toString(), codePage, tableLabel);
    refuseType(field, tableLabel, value);
}

}  // namespace qm
