#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

namespace qm {

// A stored field as the archive window shows it: null gives the empty text,
// text stays exactly as stored, a date from an old date column reads dd.MM.yyyy.
QString archiveFieldText(const QVariant &value);

// A logical field as a check box takes it; null counts as false.
bool archiveFieldTicked(const QVariant &value);

// ACTDATE read day first: "6.1.2012" text (also with '/' or '-', or with leading
// zeros) or a date column's value. nullopt for null or anything unreadable.
std::optional<QDate> archiveFieldDate(const QVariant &value);

}  // namespace qm
