#pragma once

#include "archive/dbf_header.h"

#include <QString>

#include <vector>

namespace qm {

// The columns of a new QM.dbf, in file order. The mechanic and the register
// model take the longest text a settings value can hold (254 characters).
std::vector<DbfField> archiveFieldLayout();

// Writes an empty archive table (no records) at path, with these columns or
// the columns of a new QM.dbf. An existing file is never overwritten: that is
// Failure 58.
void createEmptyArchive(const QString &path);
void createEmptyArchive(const QString &path, const std::vector<DbfField> &fields);

}  // namespace qm
