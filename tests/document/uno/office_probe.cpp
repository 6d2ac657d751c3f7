#include "office_probe.h"

#include "document/uno/uno_values.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <csignal>
#include <stdexcept>

using namespace Qt::StringLiterals;
using css::uno::Any;
using css::uno::Reference;

namespace qm::test {

namespace {

rtl::OUString urlOf(const QString &path)
{
    return calc::toOUString(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
}

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        throw std::runtime_error(
            (program + u" failed: "_s + QString::fromLocal8Bit(process.readAllStandardError())).toStdString());
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

CellContents cellContents(const Reference<css::sheet::XSpreadsheet> &sheet, const QString &address)
{
    const Reference<css::table::XCellRange> range(sheet, css::uno::UNO_QUERY_THROW);
    const Reference<css::table::XCell> cell
        = range->getCellRangeByName(calc::toOUString(address))->getCellByPosition(0, 0);
    const Reference<css::text::XText> text(cell, css::uno::UNO_QUERY_THROW);
    return {cell->getType(), calc::toQString(text->getString())};
}

Reference<css::sheet::XSpreadsheet> sheetNamed(const Reference<css::sheet::XSpreadsheetDocument> &workbook,
                                               const QString &name)
{
    return Reference<css::sheet::XSpreadsheet>(workbook->getSheets()->getByName(calc::toOUString(name)),
                                               css::uno::UNO_QUERY_THROW);
}

void convertDocument(const calc::OfficeConnection &office, const QString &from, const QString &to,
                     const QString &filter)
{
    const Reference<css::lang::XComponent> document
        = office.desktop->loadComponentFromURL(urlOf(from), rtl::OUString("_blank"), 0, calc::properties({}));
    const Reference<css::frame::XStorable> storable(document, css::uno::UNO_QUERY_THROW);
    storable->storeToURL(urlOf(to), calc::properties({calc::property("FilterName", Any(calc::toOUString(filter)))}));
    Reference<css::util::XCloseable>(document, css::uno::UNO_QUERY_THROW)->close(true);
}

QList<qint64> officeProcesses(const QString &commandLineMarker)
{
    QList<qint64> found;
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        QFile commandLine(u"/proc/%1/cmdline"_s.arg(entry));
        if (!isPid || !commandLine.open(QIODevice::ReadOnly))
            continue;
        if (QString::fromUtf8(commandLine.readAll()).contains(commandLineMarker))
            found << pid;
    }
    return found;
}

bool killedAllOffices(const QString &commandLineMarker)
{
    const QList<qint64> found = officeProcesses(commandLineMarker);
    for (const qint64 pid : found)
        ::kill(pid_t(pid), SIGKILL);
    return found.isEmpty();
}

QString answeringPipe(const QString &commandLineMarker)
{
    static const QRegularExpression pipe(u"pipe,name=([^;]+);"_s);
    for (const qint64 pid : officeProcesses(commandLineMarker)) {
        QFile commandLine(u"/proc/%1/cmdline"_s.arg(pid));
        if (!commandLine.open(QIODevice::ReadOnly))
            continue;
        const QRegularExpressionMatch match = pipe.match(QString::fromLocal8Bit(commandLine.readAll()));
        if (match.hasMatch() && calc::connectIfAnswering(match.captured(1)))
            return match.captured(1);
    }
    return {};
}

void terminateOffice(const calc::OfficeConnection &office)
{
    office.desktop->terminate();
}

QByteArray templateWithProtectedActSheet()
{
    QFile shipped(QStringLiteral(QM_SHIPPED_DATA_DIR) + u"/Quillmarch.fods"_s);
    if (!shipped.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the shipped template");
    return QString::fromUtf8(shipped.readAll())
        .replace(u"table:name=\"Акт\""_s, u"table:name=\"Акт\" table:protected=\"true\""_s)
        .toUtf8();
}

int documentsIn(const QString &pipeName)
{
    const std::optional<calc::OfficeConnection> office = calc::connectIfAnswering(pipeName);
    if (!office)
        return -1;
    int count = 0;
    const Reference<css::container::XEnumeration> documents = office->desktop->getComponents()->createEnumeration();
    for (; documents->hasMoreElements(); documents->nextElement())
        ++count;
    return count;
}

QString pdfText(const QString &pdfPath)
{
    return runTool(u"pdftotext"_s, {u"-layout"_s, pdfPath, u"-"_s});
}

int pdfPageCount(const QString &pdfPath)
{
    const QRegularExpression pages(u"^Pages:\\s+(\\d+)"_s, QRegularExpression::MultilineOption);
    return pages.match(runTool(u"pdfinfo"_s, {pdfPath})).captured(1).toInt();
}

QString pdfPageSize(const QString &pdfPath)
{
    const QRegularExpression size(u"^Page size:\\s+(.*)$"_s, QRegularExpression::MultilineOption);
    return size.match(runTool(u"pdfinfo"_s, {pdfPath})).captured(1).trimmed();
}

QByteArray fileSha256(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

bool writeScript(const QString &path, const QByteArray &script)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(script) == script.size() && file.flush()
        && file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace qm::test
