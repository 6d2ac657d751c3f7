// Recalling an archived act for the main window: the eleven fields as the
// recall hands them over, null kept apart from stored text, and the stored date.

#include "archive_test_fixture.h"

#include "app/archive_window/form2.h"
#include "archive/archive_record_text.h"
#include "archive/archived_acts.h"

#include <QListView>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

// Recalls line `line` of a freshly opened archive window with "Выбрать".
void recallLine(ArchiveWorld &world, int line)
{
    Form2 window(world.context());
    QVERIFY(window.Form_Load());
    window.show();
    clickLine(window.lBase(), line);
    QTest::mouseClick(window.bSelect(), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

}  // namespace

class RecallArchivedActTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storedDateIsReadDayFirst_data();
    void storedDateIsReadDayFirst();
    void everyFieldIsWrittenBack();
    void nullFieldsAreKeptApart();
    void unknownNamesAreHandedOverAsStored();
    void identicalLinesRecallTheirOwnRecords_data();
    void identicalLinesRecallTheirOwnRecords();
};

void RecallArchivedActTest::storedDateIsReadDayFirst_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QDate>("date");  // invalid: cannot be read

    QTest::newRow("one-digit day and month") << QVariant(u"6.1.2012"_s) << QDate(2012, 1, 6);
    QTest::newRow("day above twelve") << QVariant(u"31.12.2012"_s) << QDate(2012, 12, 31);
    QTest::newRow("leading zeros") << QVariant(u"06.01.2012"_s) << QDate(2012, 1, 6);
    QTest::newRow("old date column") << QVariant(QDate(2011, 3, 5)) << QDate(2011, 3, 5);
    QTest::newRow("null") << QVariant() << QDate();
    QTest::newRow("no such day") << QVariant(u"30.2.2012"_s) << QDate();
    QTest::newRow("year first") << QVariant(u"2012.1.6"_s) << QDate();
    QTest::newRow("words") << QVariant(u"вчера"_s) << QDate();
}

void RecallArchivedActTest::storedDateIsReadDayFirst()
{
    QFETCH(QVariant, stored);
    QFETCH(QDate, date);
    const std::optional<QDate> read = archiveFieldDate(stored);
    QCOMPARE(read.value_or(QDate()), date);
}

void RecallArchivedActTest::everyFieldIsWrittenBack()
{
    ArchiveWorld world;
    ArchiveRow row = sampleRow(2);
    row.insert(ArchiveField::ACTDATE.toString(), u"6.1.2012"_s);
    row.insert(ArchiveField::ZAVNUM.toString(), u"ab12"_s);  // not passed through the typing rules
    row.insert(ArchiveField::EKLZREG.toString(), u"123456    "_s);
    row.insert(ArchiveField::PRICHINA.toString(), u"Неисправность ЭКЛЗ"_s);
    row.insert(ArchiveField::E_SOHRAN.toString(), false);
    row.insert(ArchiveField::E_READABLE.toString(), true);
    world.append({sampleRow(1), row});

    recallLine(world, 1);

    QVERIFY(world.actWindow.recalled);
    const RecalledAct &act = *world.actWindow.recalled;
    QCOMPARE(act.date, QDate(2012, 1, 6));
    QCOMPARE(act.mechanic, u"Механик 2"_s);
    QCOMPARE(act.registerModel, u"ККМ-2"_s);
    QCOMPARE(act.texts.serialNumber, u"ab12"_s);
    QCOMPARE(act.texts.yearMade, u"2002"_s);
    QCOMPARE(act.texts.inn, u"770000002"_s);
    // The storage drops the padding of EKLZREG on reading.
    QCOMPARE(act.texts.registrationNumber, u"123456"_s);
    QCOMPARE(act.texts.customer, u"ООО Ромашка-2"_s);
    QCOMPARE(act.operationType, u"Неисправность ЭКЛЗ"_s);
    QVERIFY(!act.contentsPreserved);
    QVERIFY(act.readable);
    QCOMPARE(world.actWindow.counts, QList<qint64>{2});  // as the list left it
    QCOMPARE(world.recordCount(), 2);
}

void RecallArchivedActTest::nullFieldsAreKeptApart()
{
    ArchiveWorld world;
    world.append(ArchiveRow{{ArchiveField::ZAVNUM.toString(), u"Z1"_s}});

    recallLine(world, 0);

    QVERIFY(world.actWindow.recalled);
    const RecalledAct &act = *world.actWindow.recalled;
    QCOMPARE(act.date, std::nullopt);
    QCOMPARE(act.mechanic, std::nullopt);
    QCOMPARE(act.registerModel, std::nullopt);
    QCOMPARE(act.operationType, std::nullopt);
    QCOMPARE(act.texts, (ArchivedActTexts{u"Z1"_s, {}, {}, {}, {}}));
    QVERIFY(!act.contentsPreserved);
    QVERIFY(!act.readable);
}

void RecallArchivedActTest::unknownNamesAreHandedOverAsStored()
{
    // Whether a name is still in the settings lists is the main window's
    // matter: the recall hands over what is stored, letter case and all.
    ArchiveWorld world;
    ArchiveRow row = sampleRow(1);
    row.insert(ArchiveField::MECHNAME.toString(), u"Уволенный"_s);
    row.insert(ArchiveField::TYPEKKM.toString(), u"ккм-1"_s);
    row.insert(ArchiveField::PRICHINA.toString(), u"Старая причина"_s);
    row.insert(ArchiveField::ACTDATE.toString(), u"1.1.1990"_s);
    world.append({sampleRow(3), row});

    recallLine(world, 1);

    QVERIFY(world.actWindow.recalled);
    const RecalledAct &act = *world.actWindow.recalled;
    QCOMPARE(act.mechanic, u"Уволенный"_s);
    QCOMPARE(act.registerModel, u"ккм-1"_s);
    QCOMPARE(act.operationType, u"Старая причина"_s);
    QCOMPARE(act.date, QDate(1990, 1, 1));
    QCOMPARE(act.texts.serialNumber, u"Z1"_s);
}

void RecallArchivedActTest::identicalLinesRecallTheirOwnRecords_data()
{
    QTest::addColumn<int>("line");
    QTest::newRow("first") << 0;
    QTest::newRow("second") << 1;
    QTest::newRow("third") << 2;
}

void RecallArchivedActTest::identicalLinesRecallTheirOwnRecords()
{
    QFETCH(int, line);
    ArchiveWorld world;
    QList<ArchiveRow> rows;
    for (int n = 1; n <= 3; ++n) {
        ArchiveRow row = sampleRow(1);
        row.insert(ArchiveField::MECHNAME.toString(), u"Механик %1"_s.arg(n));
        row.insert(ArchiveField::INN.toString(), u"50000000%1"_s.arg(n));
        rows.append(row);
    }
    world.append(rows);

    recallLine(world, line);

    QVERIFY(world.actWindow.recalled);
    QCOMPARE(world.actWindow.recalled->mechanic, u"Механик %1"_s.arg(line + 1));
    QCOMPARE(world.actWindow.recalled->texts.inn, u"50000000%1"_s.arg(line + 1));
}

}  // namespace qm::test

QTEST_MAIN(qm::test::RecallArchivedActTest)
#include "test_recall_archived_act.moc"
