#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace qm {
class Archive;
}

namespace qm::test {

// Every live record in natural order, read through our record set, fields in
// the table's column order; text exactly as stored, logicals as "1"/"0".
QList<QStringList> storedRecords(Archive &archive);

// The same for a dBASE file of any name (a backup, say), opened as the archive.
QList<QStringList> storedRecords(const QString &dbfPath);

// The same, as Perl XBase's dbf_dump prints it (it drops trailing spaces).
// Empty when dbf_dump is not installed; a failure of dbf_dump is a list with
// one record holding its error text.
QList<QStringList> recordsByXBase(const QString &dbfPath);
bool xbaseAvailable();

// A record as dbf_dump shows it: trailing spaces dropped from every field.
QStringList withoutTrailingSpaces(QStringList fields);

// What is wrong with the records, as a text; empty when every record is a
// complete numbered act (see NumberedAct).
QString tornRecords(const QList<QStringList> &records);

// The SHA-256 of a file's bytes, hex; "missing" when it cannot be read.
QByteArray fileHash(const QString &path);

}  // namespace qm::test
