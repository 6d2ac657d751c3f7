#pragma once

#include <QString>
#include <QStringView>

namespace qm {

class Archive;

// Where the PDF copy of the act at this position of the archive list is written
// (in "Акты" beside the archive, named after the record's date, customer,
// serial number and record number), whether or not it is there. Empty when the
// record at that position is no longer the one the line shows. The archive is
// read and closed again before this returns. Throws qm::Failure.
QString archivedActPdfPath(Archive &archive, const QString &programFolder, int position, QStringView shownLine);

}  // namespace qm
