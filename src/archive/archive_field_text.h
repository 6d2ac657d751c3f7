#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

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

}  // namespace qm
