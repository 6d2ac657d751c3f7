#pragma once

#include "archive/archive_table.h"
#include "archive/dbf_file.h"

#include <QByteArray>

#include <cstddef>
#include <memory>
#include <optional>

namespace qm {

// The record set over one open dBASE file. Positions count live records only.
//
// A new record and a deletion are both pending until update(); moving the
// cursor or closing drops whatever is pending. After a committed deletion the
// deleted record stays current (its fields can no longer be read) until the
// next move, which lands on the record that followed it.
class DbfRecordSet final : public ArchiveRecordSet {
public:
    DbfRecordSet(std::unique_ptr<DbfFile> file, ArchiveAccess access, QString tableName);

    int recordCount() const override;
    bool atEnd() const override;
    void moveNext() override;
    quint32 recordNumber() const override;
    QVariant value(QStringView fieldName) const override;
    std::optional<int> textWidth(QStringView fieldName) const override;
    void addNew() override;
    void setValue(QStringView fieldName, const QVariant &value) override;
    void update() override;
    void skip(int count) override;
    void deleteCurrent() override;
    bool moveToRecordNumber(quint32 number) override;
    quint64 recordDigest() const override;
    void close() override;

private:
    const DbfField &field(QStringView fieldName) const;
    const QString &tableLabel() const { return tableLabel_; }
    void requireOpen() const;
    void requireWritable() const;
    void requireCurrent() const;
    void dropPending();

    std::unique_ptr<DbfFile> file_;
    ArchiveAccess access_;
    QString tableName_;
    QString tableLabel_;  // the name and the file, for failure descriptions
    std::size_t position_ = 0;
    bool currentDeleted_ = false;
    std::optional<QByteArray> newRecord_;
    bool deletionPending_ = false;
};

}  // namespace qm
