#pragma once

#include "archive/archive_table.h"
#include "archive/dbf_header.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

namespace qm::fuzz {

// The QM.dbf the archive targets open: one file in a folder of this process's
// own, on tmpfs where the machine has it, rewritten with every input.
class FuzzTableFile {
public:
    FuzzTableFile();
    ~FuzzTableFile();
    FuzzTableFile(const FuzzTableFile &) = delete;
    FuzzTableFile &operator=(const FuzzTableFile &) = delete;

    const QString &folder() const { return folder_; }
    const QString &path() const { return path_; }

    void write(QByteArrayView bytes) const;
    QByteArray read() const;

private:
    QString folder_;
    QString path_;
};

// The columns the file's header declares, as the archive module reads them.
std::vector<DbfField> declaredFields(const QByteArray &tableBytes, const QString &path);

// Reads every field of every live record through a read-only record set, in
// natural order, and checks what each read gives: a value of the column's
// type, or Failure 13 naming the field for a cell that cannot be decoded.
// The archive's own column names, one in another letter case and one that no
// table has are asked for as well. Returns the number of records read.
int readEveryCell(Archive &archive, const std::vector<DbfField> &fields);

}  // namespace qm::fuzz
