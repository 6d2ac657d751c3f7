#include "archive/dbf_field_codec.h"

#include "common/failure.h"

#include <QDate>
#include <QMetaType>

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

[[noreturn]] void refuseStored(const DbfField &field, const QString &tableLabel, const QString &what, QByteArrayView cell)
{
    throw Failure(FailureCode::TypeMismatch,
                  u"Поле %1 таблицы %2 содержит %3: «%4»"_s.arg(field.name, tableLabel, what,
                                                                   QString::fromLatin1(cell)));
}

[[noreturn]] void refuseType(const DbfField &field, const QString &tableLabel, const QVariant &value)
{
    throw Failure(FailureCode::TypeMismatch,
                  u"Несоответствие типа: значение «%1» нельзя записать в поле %2 (тип %3) таблицы %4"_s.arg(
                      value.toString(), field.name, QString::fromLatin1(&field.type, 1), tableLabel));
}

[[noreturn]] void refuseTooLong(const DbfField &field, const QString &tableLabel, const QString &text)
{
    throw Failure(FailureCode::FieldTooSmall,
                  u"Значение «%1» не помещается в поле %2 таблицы %3: ширина поля %4"_s.arg(text, field.name, tableLabel)
                      .arg(field.width));
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
    case 'T': case 't': case 'Y': case 'y':
        return true;
    case 'F': case 'f': case 'N': case 'n':
        return false;
    default:
        refuseStored(field, tableLabel, u"недопустимое логическое значение"_s, cell);
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
    if (!bytes) {
        throw Failure(FailureCode::TypeMismatch,
                      u"Значение «%1» поля %2 таблицы %3 содержит символы, которых нет в кодировке таблицы (%4)"_s.arg(
                          text, field.name, tableLabel,
                          codePage == DbfCodePage::Cp866 ? u"866"_s : u"Windows-1251"_s));
    }
    if (bytes->size() > field.width)
        refuseTooLong(field, tableLabel, text);
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
    case QMetaType::ULongLong:
        return value.toBool() ? "T" : "F";
    default:
        refuseType(field, tableLabel, value);
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
        refuseTooLong(field, tableLabel, QString::fromLatin1(text));
    return text.rightJustified(field.width, ' ');
}

}  // namespace

QVariant decodeDbfCell(const DbfField &field, QByteArrayView cell, DbfCodePage codePage, const QString &tableLabel)
{
    const QByteArrayView content = withoutPadding(cell);
    switch (field.type) {
    case 'L':
        return decodeLogical(field, content, tableLabel);
    case 'D':
        return decodeDate(field, content, tableLabel);
    case 'N':
    case 'F':
        return decodeNumber(field, content, tableLabel);
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
    case 'L':
        return encodeLogical(field, value, tableLabel);
    case 'D':
        return encodeDate(field, value, tableLabel);
    case 'N':
    case 'F':
        return encodeNumber(field, value, tableLabel);
    default:
        break;
    }
    if (value.typeId() == QMetaType::QDate)
        return encodeText(field, plainDate(value.toDate()), codePage, tableLabel);
    if (value.typeId() == QMetaType::QString)
        return encodeText(field, value.toString(), codePage, tableLabel);
    refuseType(field, tableLabel, value);
}

}  // namespace qm
