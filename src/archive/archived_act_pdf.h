#pragma once

#include <QString>

namespace qm {

class Archive;
struct ListedRecord;

// Where the PDF copy of the listed act is written (in "Акты" beside the
// archive, named after the record's date, customer, serial number and record
// number), whether or not it is there. Empty when that record is no longer the
// one the list read, or its name cannot be read. The archive is read and
// closed again before this returns. Throws qm::Failure.
QString archivedActPdfPath(Archive &archive, const QString &programFolder, const ListedRecord &listed);

}  // namespace qm
