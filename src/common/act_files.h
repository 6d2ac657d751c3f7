#pragma once

#include <QDate>
#include <QString>

namespace qm {

// The folder beside the archive that holds a PDF copy of every act.
QString actPdfFolder(const QString &programFolder);

// The PDF copy of one archived act: its date, customer and serial number, made
// safe for a file name, and its record's number in the archive file, so that
// a record finds its own copy even among reprints of the same act
// ("2026-12-07 ООО Ромашка 0012345 №42.pdf"). Texts are taken trimmed, so the
// archive's one-space placeholder names the same file as an empty field.
QString actPdfFileName(const QDate &date, const QString &customer, const QString &serialNumber, quint32 recordNumber);

}  // namespace qm
