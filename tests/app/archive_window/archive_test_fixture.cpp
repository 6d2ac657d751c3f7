#include "archive_test_fixture.h"

#include "app/archive_window/form2.h"
#include "archive/archive_record_text.h"
#include "archive/dbf_header.h"
#include "archive/empty_archive.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace qm::test {

ArchiveRow sampleRow(int n)
{
    const QString s = QString::number(n);
    return {
        {ArchiveField::ACTDATE.toString(), u"%1.2.2012"_s.arg(n)},
        {ArchiveField::MECHNAME.toString(), u"Механик %1"_s.arg(s)},
        {ArchiveField::TYPEKKM.toString(), u"ККМ-%1"_s.arg(s)},
        {ArchiveField::ZAVNUM.toString(), u"Z%1"_s.arg(s)},
        {ArchiveField::GODVYP.toString(), u"200%1"_s.arg(n % 10)},
        {ArchiveField::PRICHINA.toString(), u"Заполнение ЭКЛЗ"_s},
        {ArchiveField::E_SOHRAN.toString(), n % 2 == 0},
        {ArchiveField::E_READABLE.toString(), n % 2 != 0},
        {ArchiveField::INN.toString(), u"77000000%1"_s.arg(s)},
        {ArchiveField::EKLZREG.toString(), u"55500%1"_s.arg(s)},
        {ArchiveField::NAMEORG.toString(), u"ООО Ромашка-%1"_s.arg(s)},
    };
}

ArchivedActTexts rowTexts(const ArchiveRow &row)
{
    const auto text = [&row](QStringView field) { return row.value(field.toString()).toString(); };
    return ArchivedActTexts{text(ArchiveField::ZAVNUM), text(ArchiveField::GODVYP), text(ArchiveField::INN),
                            text(ArchiveField::EKLZREG), text(ArchiveField::NAMEORG)};
}

ArchiveWorld::ArchiveWorld() : archive(folder.path())
{
    QStringList mechanics, models;
    for (int n = 1; n <= 4; ++n) {
        mechanics.append(u"Механик %1"_s.arg(n));
        models.append(u"ККМ-%1"_s.arg(n));
    }
    writeSettings(mechanics, models);
    createEmptyArchive(folder.filePath(u"QM.dbf"_s));
}

void ArchiveWorld::writeSettings(const QStringList &mechanics, const QStringList &models) const
{
    QString text = u"[TechNames]\r\n"_s;
    for (qsizetype i = 0; i < mechanics.size(); ++i)
        text += u"Tech%1=%2\r\n"_s.arg(i + 1).arg(mechanics[i]);
    text += u"[KKM]\r\n"_s;
    for (qsizetype i = 0; i < models.size(); ++i)
        text += u"KKM%1=%2\r\n"_s.arg(i + 1).arg(models[i]);
    folder.writeSettings(text);
}

void ArchiveWorld::recreateArchive(bool dateColumn, std::uint8_t languageDriver)
{
    std::vector<DbfField> fields = archiveFieldLayout();
    if (dateColumn) {
        for (DbfField &field : fields) {
            if (field.name == ArchiveField::ACTDATE) {
                field.type = 'D';
                field.width = 8;
            }
        }
    }
    const DbfHeader header = layoutDbfHeader(fields, languageDriver, QDate(2012, 1, 1));
    folder.writeFile(u"QM.dbf"_s, encodeDbfHeader(header) + kDbfEndOfFile);
}

void ArchiveWorld::damageCell(int record, QStringView field, const QByteArray &bytes)
{
    QFile file(folder.filePath(u"QM.dbf"_s));
    if (!file.open(QIODevice::ReadWrite))
        throw std::runtime_error("cannot open QM.dbf to damage it");
    const DbfHeader header = parseDbfHeader(file.read(0x10000), file.fileName());
    for (const DbfField &cell : header.fields) {
        if (cell.name == field) {
            file.seek(header.headerLength + qint64(record) * header.recordLength + cell.offset);
            file.write(bytes.leftJustified(cell.width, ' ', true));
            return;
        }
    }
    throw std::runtime_error("no such field to damage");
}

void ArchiveWorld::append(const ArchiveRow &row)
{
    const auto records = archive.open(ArchiveAccess::Writable);
    records->addNew();
    for (auto it = row.cbegin(); it != row.cend(); ++it)
        records->setValue(it.key(), it.value());
    records->update();
    records->close();
}

void ArchiveWorld::append(const QList<ArchiveRow> &rows)
{
    for (const ArchiveRow &row : rows)
        append(row);
}

QList<QVariant> ArchiveWorld::column(QStringView field)
{
    QList<QVariant> values;
    const auto records = archive.open(ArchiveAccess::ReadOnly);
    for (; !records->atEnd(); records->moveNext())
        values.append(records->value(field));
    return values;
}

int ArchiveWorld::recordCount()
{
    return CountArchiveRecords(archive);
}

QStringList ArchiveWorld::listLines()
{
    QStringList lines;
    const auto records = archive.open(ArchiveAccess::ReadOnly);
    for (; !records->atEnd(); records->moveNext())
        lines.append(archiveListLine(*records));
    return lines;
}

ArchiveWindowContext ArchiveWorld::context()
{
    return ArchiveWindowContext{&actWindow, &prompts, &archive, &owner, folder.path()};
}

QStringList lineTexts(const QAbstractItemView *list)
{
    QStringList texts;
    const QAbstractItemModel *model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, 0).data().toString());
    return texts;
}

void clickLine(QAbstractItemView *list, int row)
{
    const QModelIndex line = list->model()->index(row, 0);
    list->scrollTo(line);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(line).center());
}

namespace {

Form2 *shownArchiveWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<Form2 *>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

}  // namespace

bool whileArchiveWindowShown(const std::function<void()> &openingCommand, const std::function<void(Form2 &)> &action)
{
    bool shown = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        Form2 *window = shownArchiveWindow();
        if (!window)
            return;
        poll.stop();
        shown = true;
        action(*window);
        if (window->isVisible())
            window->reject();
    });
    poll.start();
    openingCommand();
    return shown;
}

}  // namespace qm::test
