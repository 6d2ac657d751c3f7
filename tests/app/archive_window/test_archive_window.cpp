// The archive window driven as the mechanic drives it: opening, the list,
// deletion, the guard against a changed archive, and failures of the archive.

#include "archive_test_fixture.h"

#include "app/archive_window/form2.h"
#include "archive/dbf_header.h"
#include "archive/file_calls.h"

#include <QFile>

#include <QListView>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

bool nothingSelected(const QAbstractItemView *list)
{
    return list->selectionModel()->selectedIndexes().isEmpty();
}

// A disk that refuses every write, as a failing or full one does.
class RefusedWrites final : public FileCalls {
public:
    RefusedWrites() { useFileCalls(this); }
    ~RefusedWrites() override { useFileCalls(nullptr); }
    ssize_t pwrite(int, const void *, size_t, off_t) override
    {
        errno = EIO;
        return -1;
    }
};

}  // namespace

class ArchiveWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyListAsksNotToBeShown();
    void windowListsOneLinePerRecord_data();
    void windowListsOneLinePerRecord();
    void dateColumnOfAnOldArchiveIsListedDayFirst();
    void damagedCellLocksAwayOnlyItsOwnField();
    void actsOfAnArchivePutInPlaceMeanwhileAreNeitherRecalledNorDeleted();
    void deleteChangesNothingWithoutSelectionOrConfirmation_data();
    void deleteChangesNothingWithoutSelectionOrConfirmation();
    void deletionKeepsEveryLineOnItsOwnRecord_data();
    void deletionKeepsEveryLineOnItsOwnRecord();
    void failedDeletionStillHandsTheActOverAndKeepsItsLine();
    void deletionIsRefusedWhenAnotherCopyChangedTheArchive_data();
    void deletionIsRefusedWhenAnotherCopyChangedTheArchive();
    void missingArchiveFileIsReportedAndTheWindowGoesOn_data();
    void missingArchiveFileIsReportedAndTheWindowGoesOn();
    void selectionKeysAndExitDoNotRecall();
};

void ArchiveWindowTest::emptyListAsksNotToBeShown()
{
    // The table was emptied after the "Архив" command counted it.
    ArchiveWorld world;
    Form2 window(world.context());
    QVERIFY(!window.Form_Load());
    QCOMPARE(world.prompts.messages.size(), 1);
    const MessageRequest &message = world.prompts.messages.constFirst();
    QCOMPARE(message.text, u"В базе нет записей !"_s);
    QCOMPARE(message.icon, PromptIcon::None);
    QCOMPARE(message.title, u"Quillmarch"_s);
    QCOMPARE(world.actWindow.counts, QList<qint64>{0});
}

void ArchiveWindowTest::windowListsOneLinePerRecord_data()
{
    QTest::addColumn<QList<ArchiveRow>>("rows");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("three records in append order") << QList<ArchiveRow>{sampleRow(1), sampleRow(2), sampleRow(3)}
                                                   << QStringList{u"1.2.2012 ~ Z1 ~ ООО Ромашка-1 ~ Заполнение ЭКЛЗ"_s,
                                                                  u"2.2.2012 ~ Z2 ~ ООО Ромашка-2 ~ Заполнение ЭКЛЗ"_s,
                                                                  u"3.2.2012 ~ Z3 ~ ООО Ромашка-3 ~ Заполнение ЭКЛЗ"_s};
    QTest::newRow("null serial number: the separators meet")
        << QList<ArchiveRow>{withField(sampleRow(4), ArchiveField::ZAVNUM, QVariant())}
        << QStringList{u"4.2.2012 ~  ~ ООО Ромашка-4 ~ Заполнение ЭКЛЗ"_s};
    QTest::newRow("every listed field null")
        << QList<ArchiveRow>{ArchiveRow{{ArchiveField::MECHNAME.toString(), u"Механик 1"_s}}}
        << QStringList{u" ~  ~  ~ "_s};
    QTest::newRow("leading spaces kept") << QList<ArchiveRow>{withField(sampleRow(5), ArchiveField::NAMEORG,
                                                                        u"  ИП Петров"_s)}
                                         << QStringList{u"5.2.2012 ~ Z5 ~   ИП Петров ~ Заполнение ЭКЛЗ"_s};
}

void ArchiveWindowTest::windowListsOneLinePerRecord()
{
    QFETCH(QList<ArchiveRow>, rows);
    QFETCH(QStringList, lines);
    ArchiveWorld world;
    world.append(rows);

    OpenWindow open(world);
    QVERIFY(open.loaded);
    QCOMPARE(lineTexts(open.window.lBase()), lines);
    QCOMPARE(world.actWindow.counts, QList<qint64>{rows.size()});
    QVERIFY(nothingSelected(open.window.lBase()));
    QVERIFY(world.prompts.messages.isEmpty());
}

void ArchiveWindowTest::dateColumnOfAnOldArchiveIsListedDayFirst()
{
    ArchiveWorld world;
    QFile::remove(world.folder.filePath(u"QM.dbf"_s));
    std::vector<DbfField> fields;
    fields.push_back(DbfField{ArchiveField::ACTDATE.toString(), 'D', 8, 0, 0});
    for (QStringView name : {ArchiveField::MECHNAME, ArchiveField::TYPEKKM, ArchiveField::ZAVNUM, ArchiveField::GODVYP,
                             ArchiveField::PRICHINA, ArchiveField::INN, ArchiveField::EKLZREG, ArchiveField::NAMEORG})
        fields.push_back(DbfField{name.toString(), 'C', 60, 0, 0});
    fields.push_back(DbfField{ArchiveField::E_SOHRAN.toString(), 'L', 1, 0, 0});
    fields.push_back(DbfField{ArchiveField::E_READABLE.toString(), 'L', 1, 0, 0});
    const DbfHeader header = layoutDbfHeader(fields, kDbfLdidWindows1251, QDate(2012, 1, 1));
    world.folder.writeFile(u"QM.dbf"_s, encodeDbfHeader(header) + kDbfEndOfFile);
    world.append(withField(sampleRow(1), ArchiveField::ACTDATE, u"6.1.2012"_s));

    OpenWindow open(world);
    QCOMPARE(lineTexts(open.window.lBase()), QStringList{u"06.01.2012 ~ Z1 ~ ООО Ромашка-1 ~ Заполнение ЭКЛЗ"_s});
}

void ArchiveWindowTest::damagedCellLocksAwayOnlyItsOwnField()
{
    ArchiveWorld world;
    world.recreateArchive(true, kDbfLdidWindows1251);
    for (int n = 1; n <= 3; ++n)
        world.append(withField(sampleRow(n), ArchiveField::ACTDATE, u"%1.1.2012"_s.arg(n)));
    world.damageCell(1, ArchiveField::ACTDATE, "20121340");
    const RecordingActWindow &act = world.actWindow;

    OpenWindow open(world);
    QVERIFY(open.loaded);
    QCOMPARE(lineTexts(open.window.lBase()),
             (QStringList{u"01.01.2012 ~ Z1 ~ ООО Ромашка-1 ~ Заполнение ЭКЛЗ"_s,
                          u"? ~ Z2 ~ ООО Ромашка-2 ~ Заполнение ЭКЛЗ"_s,
                          u"03.01.2012 ~ Z3 ~ ООО Ромашка-3 ~ Заполнение ЭКЛЗ"_s}));
    QVERIFY(world.prompts.messages.isEmpty());

    // Its recall names the field and changes nothing; the window stays.
    clickLine(open.window.lBase(), 1);
    QTest::mouseClick(open.window.bSelect(), Qt::LeftButton);
    QVERIFY(!act.recalled);
    QCOMPARE(world.prompts.messages.size(), 1);
    const QString failure = world.prompts.messages.constFirst().text;
    QVERIFY2(failure.startsWith(u"Ошибка 13\r\n"_s) && failure.contains(u"«Дата»"_s), qPrintable(failure));
    QVERIFY(open.window.isVisible());

    // It can be deleted, and the acts around it still recall.
    world.prompts.answer(PromptAnswer::Yes);
    QTest::mouseClick(open.window.bDeleteRecord(), Qt::LeftButton);
    QCOMPARE(world.recordCount(), 2);
    QCOMPARE(act.texts, rowTexts(sampleRow(2)));
    clickLine(open.window.lBase(), 1);
    QTest::mouseClick(open.window.bSelect(), Qt::LeftButton);
    QVERIFY(act.recalled);
    QCOMPARE(act.recalled->texts, rowTexts(sampleRow(3)));
}

void ArchiveWindowTest::actsOfAnArchivePutInPlaceMeanwhileAreNeitherRecalledNorDeleted()
{
    // Another workstation puts an archive with other acts in place (a backup
    // restored): the same record numbers now hold other acts.
    ArchiveWorld world;
    world.append({sampleRow(1), sampleRow(2), sampleRow(3)});
    ArchiveWorld other;
    other.append({sampleRow(4), sampleRow(5), sampleRow(6)});
    const RecordingActWindow &act = world.actWindow;

    OpenWindow open(world);
    clickLine(open.window.lBase(), 1);
    const QString path = world.folder.filePath(u"QM.dbf"_s);
    QVERIFY(QFile::copy(other.folder.filePath(u"QM.dbf"_s), path + u".new"_s));
    QVERIFY(std::rename(QFile::encodeName(path + u".new"_s).constData(), QFile::encodeName(path).constData()) == 0);

    QTest::mouseClick(open.window.bSelect(), Qt::LeftButton);
    QVERIFY(!act.recalled);
    QCOMPARE(world.prompts.messages.size(), 1);
    QVERIFY2(world.prompts.messages.constFirst().text.contains(u"Акт не вызван"_s),
             qPrintable(world.prompts.messages.constFirst().text));
    QCOMPARE(lineTexts(open.window.lBase()), other.listLines());

    // The refilled list acts on the acts now in place.
    clickLine(open.window.lBase(), 1);
    world.prompts.answer(PromptAnswer::Yes);
    QTest::mouseClick(open.window.bDeleteRecord(), Qt::LeftButton);
    QCOMPARE(act.texts, rowTexts(sampleRow(5)));
    QCOMPARE(world.recordCount(), 2);
}

void ArchiveWindowTest::deleteChangesNothingWithoutSelectionOrConfirmation_data()
{
    QTest::addColumn<int>("selectedLine");
    QTest::addColumn<int>("promptsShown");

    QTest::newRow("no line selected: not even asked") << -1 << 0;
    QTest::newRow("answered No") << 1 << 1;
}

void ArchiveWindowTest::deleteChangesNothingWithoutSelectionOrConfirmation()
{
    QFETCH(int, selectedLine);
    QFETCH(int, promptsShown);
    ArchiveWorld world;
    world.append({sampleRow(1), sampleRow(2)});

    OpenWindow open(world);
    const QStringList lines = lineTexts(open.window.lBase());
    if (selectedLine >= 0)
        clickLine(open.window.lBase(), selectedLine);
    world.prompts.answer(PromptAnswer::No);
    QTest::mouseClick(open.window.bDeleteRecord(), Qt::LeftButton);

    QCOMPARE(world.prompts.messages.size(), promptsShown);
    if (promptsShown > 0) {
        QCOMPARE(world.prompts.messages.constFirst().text, u"Удалить запись ?"_s);
        QCOMPARE(world.prompts.messages.constFirst().buttons, PromptButtons::YesNo);
        QCOMPARE(world.prompts.messages.constFirst().icon, PromptIcon::None);
        QCOMPARE(world.prompts.messages.constFirst().title, u"Quillmarch"_s);
    }
    QCOMPARE(world.recordCount(), 2);
    QCOMPARE(lineTexts(open.window.lBase()), lines);
    QVERIFY(!world.actWindow.texts);
    QVERIFY(!world.actWindow.recalled);
    QVERIFY(open.window.isVisible());
}

void ArchiveWindowTest::deletionKeepsEveryLineOnItsOwnRecord_data()
{
    QTest::addColumn<int>("recordCount");
    QTest::addColumn<int>("deletedLine");

    QTest::newRow("first of three") << 3 << 0;
    QTest::newRow("middle of three") << 3 << 1;
    QTest::newRow("last of three") << 3 << 2;
    QTest::newRow("the only record") << 1 << 0;
}

void ArchiveWindowTest::failedDeletionStillHandsTheActOverAndKeepsItsLine()
{
    ArchiveWorld world;
    const QList<ArchiveRow> rows{sampleRow(1), sampleRow(2)};
    world.append(rows);
    OpenWindow open(world);
    clickLine(open.window.lBase(), 1);
    world.prompts.answer(PromptAnswer::Yes);
    {
        RefusedWrites disk;
        QTest::mouseClick(open.window.bDeleteRecord(), Qt::LeftButton);
    }

    // The mechanic has the act's texts to correct and print again, is told
    // of the failure with its number, and the record and its line stay.
    QCOMPARE(world.actWindow.texts, rowTexts(rows[1]));
    QCOMPARE(world.prompts.messages.size(), 2);
    QVERIFY(world.prompts.messages.last().text.startsWith(u"Ошибка "_s));
    QCOMPARE(world.recordCount(), 2);
    QCOMPARE(lineTexts(open.window.lBase()), world.listLines());
    QVERIFY(open.window.isVisible());
}

void ArchiveWindowTest::deletionKeepsEveryLineOnItsOwnRecord()
{
    QFETCH(int, recordCount);
    QFETCH(int, deletedLine);
    ArchiveWorld world;
    QList<ArchiveRow> rows;
    for (int n = 1; n <= recordCount; ++n)
        rows.append(sampleRow(n));
    // A null field reaches its text box as the empty text.
    rows[deletedLine].insert(ArchiveField::GODVYP.toString(), QVariant());
    world.append(rows);
    const RecordingActWindow &act = world.actWindow;

    OpenWindow open(world);
    clickLine(open.window.lBase(), deletedLine);
    world.prompts.answer(PromptAnswer::Yes);
    QTest::mouseClick(open.window.bDeleteRecord(), Qt::LeftButton);

    const ArchiveRow deleted = rows.takeAt(deletedLine);
    QCOMPARE(act.texts, rowTexts(deleted));
    QVERIFY(!act.recalled);                            // only the five texts: the rest of the form is left alone
    QCOMPARE(act.counts, QList<qint64>{recordCount});  // the count is not shown again
    QCOMPARE(world.recordCount(), recordCount - 1);
    QCOMPARE(world.column(ArchiveField::ZAVNUM).size(), rows.size());
    QCOMPARE(lineTexts(open.window.lBase()), world.listLines());
    QVERIFY(open.window.isVisible());
    QCOMPARE(world.prompts.messages.size(), 1);
    // No other line takes the deleted one's selection: "Выбрать" and another
    // deletion then do nothing.
    QVERIFY(nothingSelected(open.window.lBase()));
    QTest::mouseClick(open.window.bDeleteRecord(), Qt::LeftButton);
    QTest::mouseClick(open.window.bSelect(), Qt::LeftButton);
    QCOMPARE(world.prompts.messages.size(), 1);
    QVERIFY(!act.recalled);
    QCOMPARE(world.recordCount(), recordCount - 1);

    // Every remaining line still recalls the record it shows.
    for (int line = 0; line < rows.size(); ++line) {
        OpenWindow again(world);
        clickLine(again.window.lBase(), line);
        QTest::mouseClick(again.window.bSelect(), Qt::LeftButton);
        QVERIFY(!again.window.isVisible());
        QVERIFY(act.recalled);
        QCOMPARE(act.recalled->texts.serialNumber, rows[line].value(ArchiveField::ZAVNUM.toString()).toString());
        QCOMPARE(act.recalled->mechanic, rows[line].value(ArchiveField::MECHNAME.toString()).toString());
    }
}

void ArchiveWindowTest::deletionIsRefusedWhenAnotherCopyChangedTheArchive_data()
{
    QTest::addColumn<int>("selectedLine");
    QTest::addColumn<QString>("change");

    QTest::newRow("selected record deleted") << 1 << u"delete 1"_s;
    QTest::newRow("record before an identical line deleted") << 0 << u"delete 0"_s;
}

void ArchiveWindowTest::deletionIsRefusedWhenAnotherCopyChangedTheArchive()
{
    QFETCH(int, selectedLine);
    QFETCH(QString, change);
    ArchiveWorld world;
    // The first two lines are identical: only the mechanic tells them apart.
    world.append({sampleRow(1), withField(sampleRow(1), ArchiveField::MECHNAME, u"Механик 2"_s), sampleRow(3)});
    const RecordingActWindow &act = world.actWindow;

    OpenWindow open(world);
    clickLine(open.window.lBase(), selectedLine);

    DbfArchive otherCopy(world.folder.path());
    {
        const auto records = otherCopy.open(ArchiveAccess::Writable);
        if (change == u"append"_s) {
            records->addNew();
            records->setValue(ArchiveField::ZAVNUM, u"NEW"_s);
        } else {
            const int position = change.back().digitValue();
            if (position > 0)
                records->skip(position);
            records->deleteCurrent();
        }
        records->update();
        records->close();
    }
    const QList<QVariant> mechanicsAfterChange = world.column(ArchiveField::MECHNAME);

    world.prompts.answer(PromptAnswer::Yes);
    QTest::mouseClick(open.window.bDeleteRecord(), Qt::LeftButton);

    QCOMPARE(world.column(ArchiveField::MECHNAME), mechanicsAfterChange);
    QVERIFY(!act.texts);
    QCOMPARE(world.prompts.messages.size(), 2);
    const MessageRequest &warning = world.prompts.messages.constLast();
    QCOMPARE(warning.title, u"Quillmarch"_s);
    QVERIFY2(warning.text.contains(u"не удалена"_s), qPrintable(warning.text));
    QCOMPARE(lineTexts(open.window.lBase()), world.listLines());
    QCOMPARE(act.lastCount(), mechanicsAfterChange.size());
    QVERIFY(open.window.isVisible());
}

void ArchiveWindowTest::missingArchiveFileIsReportedAndTheWindowGoesOn_data()
{
    QTest::addColumn<bool>("deleting");
    QTest::newRow("delete") << true;
    QTest::newRow("select") << false;
}

void ArchiveWindowTest::missingArchiveFileIsReportedAndTheWindowGoesOn()
{
    QFETCH(bool, deleting);
    ArchiveWorld world;
    world.append({sampleRow(1), sampleRow(2)});
    OpenWindow open(world);
    const QStringList lines = lineTexts(open.window.lBase());
    QVERIFY(QFile::remove(world.folder.filePath(u"QM.dbf"_s)));

    clickLine(open.window.lBase(), 1);
    world.prompts.answer(PromptAnswer::Yes);
    QTest::mouseClick(deleting ? open.window.bDeleteRecord() : open.window.bSelect(), Qt::LeftButton);

    const MessageRequest &failure = world.prompts.messages.constLast();
    QCOMPARE(failure.title, u"Quillmarch"_s);
    QCOMPARE(failure.icon, PromptIcon::Critical);
    QVERIFY2(failure.text.startsWith(u"Ошибка 53"_s), qPrintable(failure.text));
    QVERIFY2(failure.text.contains(u"QM.dbf"_s), qPrintable(failure.text));
    QCOMPARE(lineTexts(open.window.lBase()), lines);
    QVERIFY(open.window.isVisible());
    QVERIFY(!QFile::exists(world.folder.filePath(u"QM.dbf"_s)));
}

void ArchiveWindowTest::selectionKeysAndExitDoNotRecall()
{
    ArchiveWorld world;
    world.append({sampleRow(1), sampleRow(2)});
    const RecordingActWindow &act = world.actWindow;
    OpenWindow open(world);
    QCOMPARE(open.window.focusWidget(), open.window.lBase());

    // No line selected: neither "Выбрать" nor a double-click on empty space recall anything.
    QTest::mouseClick(open.window.bSelect(), Qt::LeftButton);
    QTest::mouseDClick(open.window.lBase()->viewport(), Qt::LeftButton, {},
                       QPoint(5, open.window.lBase()->viewport()->height() - 5));
    QVERIFY(open.window.isVisible());
    QVERIFY(!act.recalled);

    // A selected line: Enter and Escape are no commands of this window.
    clickLine(open.window.lBase(), 1);
    open.window.lBase()->setFocus();
    QTest::keyClick(open.window.lBase(), Qt::Key_Return);
    QTest::keyClick(open.window.lBase(), Qt::Key_Enter);
    QTest::keyClick(open.window.lBase(), Qt::Key_Escape);
    QTest::keyClick(&open.window, Qt::Key_Escape);
    QVERIFY(open.window.isVisible());
    QVERIFY(!act.recalled);
    QVERIFY(world.prompts.messages.isEmpty());

    QTest::mouseClick(open.window.bExit(), Qt::LeftButton);
    QVERIFY(!open.window.isVisible());
    QVERIFY(!act.recalled);
    QCOMPARE(world.recordCount(), 2);
}

}  // namespace qm::test

QTEST_MAIN(qm::test::ArchiveWindowTest)
#include "test_archive_window.moc"
