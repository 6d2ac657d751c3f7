#pragma once

#include "archive/archive_backup.h"

#include <QString>
#include <QStringView>
#include <QVariant>

#include <memory>
#include <optional>

namespace qm {

class ArchiveSnapshot;

// Field names of one archived act (ArchiveRecord), in the order the save writes them.
namespace ArchiveField {
inline constexpr QStringView ACTDATE = u"ACTDATE";
inline constexpr QStringView MECHNAME = u"MECHNAME";
inline constexpr QStringView TYPEKKM = u"TYPEKKM";
inline constexpr QStringView ZAVNUM = u"ZAVNUM";
inline constexpr QStringView GODVYP = u"GODVYP";
inline constexpr QStringView PRICHINA = u"PRICHINA";
inline constexpr QStringView E_SOHRAN = u"E_SOHRAN";
inline constexpr QStringView E_READABLE = u"E_READABLE";
inline constexpr QStringView INN = u"INN";
inline constexpr QStringView EKLZREG = u"EKLZREG";
inline constexpr QStringView NAMEORG = u"NAMEORG";
}  // namespace ArchiveField

// Read-only uses take a shared lock; saving and deleting take an exclusive one.
enum class ArchiveAccess { ReadOnly, Writable };

// All records of the archive table in natural order (append order, deleted
// records left out), positioned on the first record or at end when empty.
// Holds the table open and locked until close() or destruction.
// Every operation throws qm::Failure.
class ArchiveRecordSet {
public:
    virtual ~ArchiveRecordSet() = default;

    // Live records, including one appended and committed through this set.
    virtual int recordCount() const = 0;

    virtual bool atEnd() const = 0;
    virtual void moveNext() = 0;

    // The current record's number in the file, counting from 1 and counting
    // deleted records too, as dBASE numbers them. The table is never packed,
    // so a record keeps its number for good; after update() of a new record
    // it is the new record's number.
    virtual quint32 recordNumber() const = 0;

    // The current record's field by name (any letter case): a null QVariant for
    // null, QString for text, bool for logical, QDate for a date column.
    virtual QVariant value(QStringView fieldName) const = 0;

    // How many characters a text field holds; none for a field of another type.
    virtual std::optional<int> textWidth(QStringView fieldName) const = 0;

    // Starts a new record; nothing is stored until update().
    virtual void addNew() = 0;
    // Sets a field of the new record: QString for text (and for a date column,
    // as day.month.year), bool for logical.
    virtual void setValue(QStringView fieldName, const QVariant &value) = 0;
    // Commits the new record or the pending deletion.
    virtual void update() = 0;

    // Fetches count rows as a block from the current record and discards them:
    // afterwards the current record is the one count positions further on.
    virtual void skip(int count) = 0;

    // Deletes the current record; committed by update().
    virtual void deleteCurrent() = 0;

    // Makes the live record with this number (as recordNumber() gives it)
    // current. False, with the set at its end, when the file holds no such
    // record or it has been deleted.
    virtual bool moveToRecordNumber(quint32 number) = 0;

    // A 64-bit digest of the current record's stored bytes (its cells, not its
    // deletion flag): whoever read the record earlier can tell whether it still
    // holds the same act without keeping the act itself.
    virtual quint64 recordDigest() const = 0;

    virtual void close() = 0;
};

// The archive table QM (the file QM.dbf in the program folder).
class Archive {
public:
    virtual ~Archive() = default;
    virtual std::unique_ptr<ArchiveRecordSet> open(ArchiveAccess access) = 0;

    // The live records as they stand now, for a window that lists them and
    // reads them again later without holding the archive's lock.
    virtual std::unique_ptr<ArchiveSnapshot> snapshot() = 0;

    // Called before an act is appended, before the archive is opened for it:
    // the first act of a day has the archive copied as it stands. Never
    // throws; an archive without backups does nothing.
    virtual ArchiveBackupResult backUpBeforeAppend() { return {}; }
};

// A record as a list read it: its number in the file and the digest of its
// bytes then. The table is never packed, so the number names the record for
// good; the digest tells whether it still holds the act the list showed.
struct ListedRecord {
    quint32 number = 0;
    quint64 digest = 0;
};

// The number of records in the archive.
inline int CountArchiveRecords(Archive &archive)
{
    const std::unique_ptr<ArchiveRecordSet> records = archive.open(ArchiveAccess::ReadOnly);
    const int count = records->recordCount();
    records->close();
    return count;
}

}  // namespace qm
