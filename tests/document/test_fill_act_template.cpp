#include "document/fill_act_template.h"
#include "recording_spreadsheet.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {

class FillActTemplateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writesTheCellMapInOrder()
    {
        ActData act;
        act.date = QDateTime(QDate(2027, 3, 1), QTime(16, 45));
        act.taxInspectorate = u"7"_s;
        act.registerModel = u"Меркурий-115Ф"_s;
        act.serialNumber = u"0123AB"_s;
        act.yearMade = u"2004"_s;
        act.customer = u"ООО \"Ромашка\""_s;
        act.mechanic = u"Иванов И.И."_s;
        act.inn = u"7701234567"_s;
        act.contentsPreserved = false;
        act.readable = true;
        act.operationType = u"Неисправность ЭКЛЗ"_s;
        act.registrationNumber = u"1234567"_s;

        RecordingSpreadsheet spreadsheet;
        auto instance = spreadsheet.startInstance();
        FillActTemplate(*instance, act, u"/t/Quillmarch.xls"_s);

        const QStringList expected = {
            u"1:start"_s,
            u"1:sheets 1"_s,
            u"1:add /t/Quillmarch.xls"_s,
            u"1:sheet"_s,
            u"1:cell I1=7"_s,
            u"1:cell J43=7"_s,
            u"1:cell C6=Меркурий-115Ф"_s,
            u"1:cell G40=Меркурий-115Ф"_s,
            u"1:cell I6=0123AB"_s,
            u"1:cell M40=0123AB"_s,
            u"1:cell O6=2004"_s,
            u"1:cell C41=2004"_s,
            u"1:cell F7=ООО \"Ромашка\""_s,
            u"1:cell F28=Иванов И.И."_s,
            u"1:cell K28=01.03.2027г."_s,
            u"1:cell K45=01.03.2027г."_s,
            u"1:cell C13=7"_s,
            u"1:cell D13=7"_s,
            u"1:cell E13=0"_s,
            u"1:cell F13=1"_s,
            u"1:cell G13=2"_s,
            u"1:cell H13=3"_s,
            u"1:cell I13=4"_s,
            u"1:cell J13=5"_s,
            u"1:cell K13=6"_s,
            u"1:cell L13=7"_s,
            u"1:cell M13= "_s,
            u"1:cell N13= "_s,
            u"1:cell F24=не сохранилось"_s,
            u"1:cell L24=возможно"_s,
            u"1:cell D17=Неисправность ЭКЛЗ"_s,
            u"1:cell C15=1"_s,
            u"1:cell D15=2"_s,
            u"1:cell E15=3"_s,
            u"1:cell F15=4"_s,
            u"1:cell G15=5"_s,
            u"1:cell H15=6"_s,
            u"1:cell I15=7"_s,
            u"1:cell J15= "_s,
            u"1:cell K15= "_s,
            u"1:cell L15="_s,
        };
        QCOMPARE(spreadsheet.log, expected);
        QCOMPARE(spreadsheet.workbooks.value(u"1:1"_s).size(), 37);
    }

    void emptyChoicesAndClearedBoxes()
    {
        ActData act;
        act.contentsPreserved = false;
        act.readable = false;
        RecordingSpreadsheet spreadsheet;
        auto instance = spreadsheet.startInstance();
        FillActTemplate(*instance, act, u"t.xls"_s);
        const auto cells = spreadsheet.workbooks.value(u"1:1"_s);
        QCOMPARE(cells.value(u"D17"_s), QString());
        QCOMPARE(cells.value(u"C6"_s), QString());
        QCOMPARE(cells.value(u"F28"_s), QString());
        QCOMPARE(cells.value(u"F24"_s), u"не сохранилось"_s);
        QCOMPARE(cells.value(u"L24"_s), u"не возможно"_s);
        QCOMPARE(cells.value(u"C13"_s), u" "_s);
        QCOMPARE(cells.value(u"D13"_s), u" "_s);
        QCOMPARE(cells.value(u"E13"_s), QString());
        QVERIFY(cells.contains(u"N13"_s));
    }

    void secondFillGoesToASecondWorkbook()
    {
        ActData act;
        act.taxInspectorate = u"12"_s;
        RecordingSpreadsheet spreadsheet;
        auto instance = spreadsheet.startInstance();
        FillActTemplate(*instance, act, u"t.xls"_s);
        act.taxInspectorate = u"13"_s;
        FillActTemplate(*instance, act, u"t.xls"_s);
        QCOMPARE(spreadsheet.workbooks.value(u"1:1"_s).value(u"I1"_s), u"12"_s);
        QCOMPARE(spreadsheet.workbooks.value(u"1:2"_s).value(u"I1"_s), u"13"_s);
    }

    void spreadsANumberOverItsRow_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cells");
        QTest::addColumn<QStringList>("row");
        QTest::newRow("INN of 12 digits")
            << u"123456789012"_s << 12 << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s,
                                                      u"7"_s, u"8"_s, u"9"_s, u"0"_s, u"1"_s, u"2"_s};
        QTest::newRow("INN of 10 digits")
            << u"1234567890"_s << 12 << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s,
                                                    u"7"_s, u"8"_s, u"9"_s, u"0"_s, u" "_s, u" "_s};
        QTest::newRow("EKLZ of 9 digits")
            << u"123456789"_s << 10
            << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s, u" "_s};
        QTest::newRow("empty EKLZ") << QString() << 10 << QStringList{u" "_s, u" "_s, {}, {}, {}, {}, {}, {}, {}, {}};
        QTest::newRow("longer than the row")
            << u"12345678901"_s << 10
            << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s, u"0"_s};
    }

    void spreadsANumberOverItsRow()
    {
        QFETCH(QString, text);
        QFETCH(int, cells);
        QFETCH(QStringList, row);
        QCOMPARE(spreadOverCells(text, cells), row);
    }

    void dateTextHasLeadingZerosAndTheYearSuffix()
    {
        QCOMPARE(actDateText(QDate(2027, 3, 1)), u"01.03.2027г."_s);
        QCOMPARE(actDateText(QDate(1997, 12, 31)), u"31.12.1997г."_s);
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::FillActTemplateTest)
#include "test_fill_act_template.moc"
