#pragma once

#include "archive/archive_table.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>

namespace qm::test {

using FieldValues = QList<std::pair<QString, QVariant>>;

QByteArray fileBytes(const QString &path);
void writeFileBytes(const QString &path, const QByteArray &bytes);

// Appends and commits one record through its own writable record set.
void appendRecord(Archive &archive, const FieldValues &values);

// One field of every record in natural order; null reads as "<null>".
QStringList column(Archive &archive, QStringView field);

// Deletes the record at a 0-based position the way the archive window does.
void deleteAt(Archive &archive, int position);

}  // namespace qm::test
