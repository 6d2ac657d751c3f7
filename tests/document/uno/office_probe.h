#pragma once

#include "document/uno/office_launch.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/CellContentType.hpp>

namespace qm::test {

// Looks at what the office holds, independently of the code under test.
struct CellContents {
    css::table::CellContentType type;
    QString text;
};
CellContents cellContents(const css::uno::Reference<css::sheet::XSpreadsheet> &sheet, const QString &address);
css::uno::Reference<css::sheet::XSpreadsheet>
sheetNamed(const css::uno::Reference<css::sheet::XSpreadsheetDocument> &workbook, const QString &name);

// Converts a document with the office's export filter ("MS Excel 97").
void convertDocument(const calc::OfficeConnection &office, const QString &from, const QString &to,
                     const QString &filter);

// Ids of the office processes started with this text on their command line.
QList<qint64> officeProcesses(const QString &commandLineMarker);
// Kills every office process with the marker; true once there were none. A
// process may start another meanwhile, so callers repeat until it is true.
bool killedAllOffices(const QString &commandLineMarker);
// The pipe an office with the marker listens on, once it answers there.
QString answeringPipe(const QString &commandLineMarker);
// Ends the office for good; only the test fixture may do this.
void terminateOffice(const calc::OfficeConnection &office);

// The shipped template with its act sheet protected: a workbook is made of
// it, and the office refuses the first cell written.
QByteArray templateWithProtectedActSheet();
// How many documents the office behind the pipe holds; -1 when it does not answer.
int documentsIn(const QString &pipeName);

QString pdfText(const QString &pdfPath);
int pdfPageCount(const QString &pdfPath);
// "595.276 x 841.89 pts (A4)"
QString pdfPageSize(const QString &pdfPath);
QByteArray fileSha256(const QString &path);

// Writes a shell script runnable by its owner, in place of soffice.
bool writeScript(const QString &path, const QByteArray &script);

}  // namespace qm::test
