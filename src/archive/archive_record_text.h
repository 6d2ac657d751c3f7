#pragma once

#include "archive/dbf_code_page.h"
#include "archive/dbf_header.h"

#include <QByteArrayView>
#include <QString>

#include <array>

namespace qm {

class ArchiveRecordSet;

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
