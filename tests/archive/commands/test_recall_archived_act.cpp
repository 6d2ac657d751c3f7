// Recalling an archived act into the main window's fields: the mapping of the
// eleven fields, the matching rule of the pick-lists and the stored date.

#include "archive_test_fixture.h"

#include "archive/commands/archive_field_text.h"
#include "archive/commands/form2.h"
#include "archive/commands/recall_archived_act.h"

#include <QListWidget>
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
    void matchingRule_data();
    void matchingRule();
    void storedDateIsReadDayFirst_data();
    void storedDateIsReadDayFirst();
    void everyFieldIsWrittenBack();
    void nullFieldsClearOrReload();
    void unknownNamesKeepTheEarlierSelection();
    void identicalLinesRecallTheirOwnRecords_data();
    void identicalLinesRecallTheirOwnRecords();
};

void RecallArchivedActTest::matchingRule_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("after");

    const QStringList names{u"Иванов"_s, u"Петров"_s, u"Сидоров"_s};
    QTest::newRow("exact match") << names << 0 << u"Сидоров"_s << 2;
    QTest::newRow("other letter case keeps the selection") << names << 1 << u"сидоров"_s << 1;
    QTest::newRow("trailing space keeps the selection") << names << 1 << u"Сидоров "_s << 1;
    QTest::newRow("placeholder space matches nothing") << names << 0 << u" "_s << 0;
    QTest::newRow("no match, nothing selected before") << names << -1 << u"Кузнецов"_s << -1;
    QTest::newRow("the last of equal items wins")
        << QStringList{u"Петров"_s, u"Иванов"_s, u"Петров"_s, u"Сидоров"_s} << 3 << u"Петров"_s << 2;
}

void RecallArchivedActTest::matchingRule()
{
    QFETCH(QStringList, items);
    QFETCH(int, before);
    QFETCH(QString, stored);
    QFETCH(int, after);
    QComboBox list;
    list.addItems(items);
    list.setCurrentIndex(before);

    selectMatchingItem(&list, stored);

    QCOMPARE(list.currentIndex(), after);
    QCOMPARE(itemTexts(&list), items);
}

void RecallArchivedActTest::storedDateIsReadDayFirst_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QDate>("date");   // invalid: cannot be read

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
    row.insert(ArchiveField::ZAVNUM.toString(), u"ab12"_s);   // not passed through the typing rules
    row.insert(ArchiveField::EKLZREG.toString(), u"123456    "_s);
    row.insert(ArchiveField::PRICHINA.toString(), u"Неисправность ЭКЛЗ"_s);
    row.insert(ArchiveField::E_SOHRAN.toString(), false);
    row.insert(ArchiveField::E_READABLE.toString(), true);
    world.append({sampleRow(1), row});
    const ActData &act = world.fields->act;
    act.txtMIFNS->setText(u"46"_s);
    act.chSoderjimoe->setChecked(true);
    act.chProchest->setChecked(false);
    act.txtGodVyp->setMaxLength(2);   // the typing limit does not cut recalled text

    recallLine(world, 1);

    QCOMPARE(act.DTP->date(), QDate(2012, 1, 6));
    QCOMPARE(act.cmbTech->currentText(), u"Механик 2"_s);
    QCOMPARE(act.cmbNameKKM->currentText(), u"ККМ-2"_s);
    QCOMPARE(act.txtZavNum->text(), u"ab12"_s);
    QCOMPARE(act.txtGodVyp->text(), u"2002"_s);
    QCOMPARE(act.txtINN->text(), u"770000002"_s);
    // The storage drops the padding of EKLZREG on reading.
    QCOMPARE(act.txtEKLZ->text(), u"123456"_s);
    QCOMPARE(act.txtNameOrg->text(), u"ООО Ромашка-2"_s);
    QCOMPARE(act.cmbVidOp->currentText(), u"Неисправность ЭКЛЗ"_s);
    QVERIFY(!act.chSoderjimoe->isChecked());
    QVERIFY(act.chProchest->isChecked());
    QCOMPARE(act.txtMIFNS->text(), u"46"_s);
    QCOMPARE(act.recordCountPanel->text(), u"Записей: 2"_s);   // as the list left it
    QCOMPARE(world.recordCount(), 2);
}

void RecallArchivedActTest::nullFieldsClearOrReload()
{
    ArchiveWorld world;
    ArchiveRow row{{ArchiveField::ZAVNUM.toString(), u"Z1"_s}};
    world.append(row);
    const ActData &act = world.fields->act;
    const QDateTime pickerBefore = act.DTP->dateTime();
    act.cmbTech->setCurrentIndex(1);
    act.cmbNameKKM->setCurrentIndex(1);
    act.cmbVidOp->setCurrentIndex(1);
    for (QLineEdit *box : {act.txtGodVyp, act.txtINN, act.txtEKLZ, act.txtNameOrg})
        box->setText(u"12"_s);
    // The settings change while the program runs: a null name reloads the list from them.
    world.writeSettings({u"Механик 1"_s, u"Новиков"_s}, {u"ККМ-1"_s, u"Новая ККМ"_s});

    recallLine(world, 0);

    QCOMPARE(act.DTP->dateTime(), pickerBefore);
    QCOMPARE(itemTexts(act.cmbTech), (QStringList{u"Механик 1"_s, u"Новиков"_s}));
    QCOMPARE(act.cmbTech->currentIndex(), -1);
    QCOMPARE(itemTexts(act.cmbNameKKM), (QStringList{u"ККМ-1"_s, u"Новая ККМ"_s}));
    QCOMPARE(act.cmbNameKKM->currentIndex(), -1);
    QCOMPARE(act.cmbVidOp->currentIndex(), -1);
    QCOMPARE(act.cmbVidOp->count(), 5);
    QCOMPARE(act.txtZavNum->text(), u"Z1"_s);
    for (QLineEdit *box : {act.txtGodVyp, act.txtINN, act.txtEKLZ, act.txtNameOrg})
        QVERIFY2(box->text().isEmpty(), qPrintable(box->text()));
    QVERIFY(!act.chSoderjimoe->isChecked());
    QVERIFY(!act.chProchest->isChecked());
}

void RecallArchivedActTest::unknownNamesKeepTheEarlierSelection()
{
    ArchiveWorld world;
    ArchiveRow row = sampleRow(1);
    row.insert(ArchiveField::MECHNAME.toString(), u"Уволенный"_s);
    row.insert(ArchiveField::TYPEKKM.toString(), u"ккм-1"_s);
    row.insert(ArchiveField::PRICHINA.toString(), u"Старая причина"_s);
    row.insert(ArchiveField::ACTDATE.toString(), u"1.1.1990"_s);   // before the picker's range
    world.append({sampleRow(3), row});
    const ActData &act = world.fields->act;

    // The earlier selection comes from recalling another act.
    recallLine(world, 0);
    recallLine(world, 1);

    QCOMPARE(act.cmbTech->currentText(), u"Механик 3"_s);
    QCOMPARE(act.cmbNameKKM->currentText(), u"ККМ-3"_s);
    QCOMPARE(act.cmbVidOp->currentText(), u"Заполнение ЭКЛЗ"_s);
    QCOMPARE(act.cmbTech->count(), 4);
    // A date the picker cannot show leaves the first act's date.
    QCOMPARE(act.DTP->date(), QDate(2012, 2, 3));
    QCOMPARE(act.txtZavNum->text(), u"Z1"_s);
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

    QCOMPARE(world.fields->act.cmbTech->currentText(), u"Механик %1"_s.arg(line + 1));
    QCOMPARE(world.fields->act.txtINN->text(), u"50000000%1"_s.arg(line + 1));
}

}  // namespace qm::test

QTEST_MAIN(qm::test::RecallArchivedActTest)
#include "test_recall_archived_act.moc"
