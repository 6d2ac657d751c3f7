#pragma once

#include "archive/dbf_header.h"

#include <QString>

#include <vector>

namespace qm {

// The columns of a new QM.dbf, in file order.
std::vector<DbfField> archiveFieldLayout();

// Writes an empty archive table (no records) at path. An existing file is
// never overwritten: that is Failure 58.
void createEmptyArchive(const QString &path);

}  // namespace qm
