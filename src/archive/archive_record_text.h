#pragma once

#include "archive/dbf_code_page.h"
#include "archive/dbf_header.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QVariant>

#include <array>
#include <optional>

namespace qm {

class ArchiveRecordSet;

// A stored field as the archive window shows it: null gives the empty text,
// text stays exactly as stored, a date from an old date column reads dd.MM.yyyy.
QString archiveFieldText(const QVariant &value);

// The text of one field of the current record, or `unreadable` when that one
// cell cannot be read (a damaged date or number of an older archive). A
// missing column is the table's fault, not one act's: it still throws.
QString archiveFieldTextOr(const ArchiveRecordSet &records, QStringView field, const QString &unreadable);

// A logical field as a check box takes it; null counts as false.
bool archiveFieldTicked(const QVariant &value);

// ACTDATE read day first: "6.1.2012" text (also with '/' or '-', or with leading
// zeros) or a date column's value. nullopt for null or anything unreadable.
std::optional<QDate> archiveFieldDate(const QVariant &value);

// What the archive window shows for a field that cannot be read (a damaged
// date or number in an older archive): the rest of the act stays readable.
inline constexpr QStringView kUnreadableFieldText = u"?";

// The nine text facts of an act the archive window searches: every field but
// the two yes/no ones.
enum class ArchiveFact { Date, Mechanic, RegisterModel, Serial, YearMade, Inn, Registration, Customer, Operation };
inline constexpr int kArchiveFactCount = 9;

// The list line of the current record: ACTDATE ~ ZAVNUM ~ NAMEORG ~ PRICHINA,
// joined with " ~ "; a null field contributes nothing, an unreadable one "?".
QString archiveListLine(const ArchiveRecordSet &records);

// The archive window's columns of one table, read straight from a record's
// bytes (deletion flag first) exactly as the record set reads them.
class ArchiveRecordText {
public:
    // Throws qm::Failure when the table lacks one of the columns.
    ArchiveRecordText(const DbfHeader &header, DbfCodePage codePage, QString tableLabel);

    DbfCodePage codePage() const { return codePage_; }
    const DbfField &field(ArchiveFact fact) const { return fields_[std::size_t(fact)]; }

    // The fact as the window shows it: "?" when unreadable.
    QString factText(ArchiveFact fact, QByteArrayView record) const;
    // The record's list line, as archiveListLine() gives it.
    QString line(QByteArrayView record) const;

private:
    std::array<DbfField, kArchiveFactCount> fields_;
    DbfCodePage codePage_;
    QString tableLabel_;
};

}  // namespace qm
