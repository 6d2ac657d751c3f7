#include "archive/archive_record_text.h"

#include "archive/archive_table.h"
#include "archive/dbf_field_codec.h"
#include "common/failure.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

constexpr std::array<QStringView, kArchiveFactCount> kFactFields{
    ArchiveField::ACTDATE, ArchiveField::MECHNAME, ArchiveField::TYPEKKM, ArchiveField::ZAVNUM,  ArchiveField::GODVYP,
    ArchiveField::INN,     ArchiveField::EKLZREG,  ArchiveField::NAMEORG, ArchiveField::PRICHINA};

const QString kSeparator = u" ~ "_s;

QString readableText(const ArchiveRecordSet &records, QStringView field)
{
    return archiveFieldTextOr(records, field, kUnreadableFieldText.toString());
}

}  // namespace

QString archiveFieldText(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate().toString(u"dd.MM.yyyy"_s);
    return value.toString();
}

bool archiveFieldTicked(const QVariant &value)
{
    return !value.isNull() && value.toBool();
}

std::optional<QDate> archiveFieldDate(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    if (value.metaType().id() == QMetaType::QDate) {
        const QDate date = value.toDate();
        return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }
    static const QRegularExpression dayFirst(u"^\\s*(\\d{1,2})[./-](\\d{1,2})[./-](\\d{4})\\s*$"_s);
    const auto match = dayFirst.match(value.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(3).toInt(), match.captured(2).toInt(), match.captured(1).toInt());
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

QString archiveFieldTextOr(const ArchiveRecordSet &records, QStringView field, const QString &unreadable)
{
    try {
        return archiveFieldText(records.value(field));
    } catch (const Failure &failure) {
        if (failure.number() == FailureCode::ItemNotFound)
            throw;
        return unreadable;
    }
}

QString archiveListLine(const ArchiveRecordSet &records)
{
    return readableText(records, ArchiveField::ACTDATE) + kSeparator + readableText(records, ArchiveField::ZAVNUM)
        + kSeparator + readableText(records, ArchiveField::NAMEORG) + kSeparator
        + readableText(records, ArchiveField::PRICHINA);
}

ArchiveRecordText::ArchiveRecordText(const DbfHeader &header, DbfCodePage codePage, QString tableLabel)
    : codePage_(codePage), tableLabel_(std::move(tableLabel))
{
    for (std::size_t fact = 0; fact < kFactFields.size(); ++fact) {
        const QStringView name = kFactFields[fact];
        const auto found = std::find_if(header.fields.begin(), header.fields.end(), [name](const DbfField &field) {
            return name.compare(field.name, Qt::CaseInsensitive) == 0;
        });
        if (found == header.fields.end()) {
            throw Failure(FailureCode::ItemNotFound,
                          u"Поле %1 не найдено в таблице %2"_s.arg(name.toString(), tableLabel_));
        }
        fields_[fact] = *found;
    }
}

QString ArchiveRecordText::factText(ArchiveFact fact, QByteArrayView record) const
{
    const DbfField &cell = field(fact);
    try {
        return archiveFieldText(decodeDbfCell(cell, record.sliced(cell.offset, cell.width), codePage_, tableLabel_));
    } catch (const Failure &) {
        return kUnreadableFieldText.toString();
    }
}

QString ArchiveRecordText::line(QByteArrayView record) const
{
    return factText(ArchiveFact::Date, record) + kSeparator + factText(ArchiveFact::Serial, record) + kSeparator
        + factText(ArchiveFact::Customer, record) + kSeparator + factText(ArchiveFact::Operation, record);
}

}  // namespace qm
