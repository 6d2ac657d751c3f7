#pragma once

#include "archive/dbf_code_page.h"
#include "archive/dbf_header.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>

namespace qm {

// One cell of a record. tableLabel names the table in failure descriptions.
//
// Reading: trailing spaces and NULs are padding; nothing else is trimmed, and
// a cell that is empty after that is null. Text gives QString, logical bool
// (T/t/Y/y, F/f/N/n; "?" is null), date QDate, number double.
QVariant decodeDbfCell(const DbfField &field, QByteArrayView cell, DbfCodePage codePage, const QString &tableLabel);

// Exactly field.width bytes. A value that does not fit, cannot be encoded or
// has the wrong type is refused (Failure 3163 or 13) — never cut or replaced.
// A date column also takes day.month.year text; a null value gives a blank cell.
QByteArray encodeDbfCell(const DbfField &field, const QVariant &value, DbfCodePage codePage, const QString &tableLabel);

}  // namespace qm
