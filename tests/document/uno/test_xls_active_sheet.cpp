#include "document/uno/xls_active_sheet.h"

#include <QFile>
#include <QTest>

#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

// The active sheet is read from template files the program does not control:
// whatever they hold, the reader must answer or give up, never read past them.
class XlsActiveSheetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void findsTheSheetActiveWhenSaved();
    void readsWorkbooksOfEveryShapeAndGivesUpOnOtherFormats_data();
    void readsWorkbooksOfEveryShapeAndGivesUpOnOtherFormats();
    void givesUpOnFilesThatAreNoWorkbook_data();
    void givesUpOnFilesThatAreNoWorkbook();
    void everyTruncationGivesUpOrAnswersRightly();
    void loopingAllocationTableEndsTheSearch();

private:
    QByteArray fixture_;
};

void XlsActiveSheetTest::initTestCase()
{
    QFile file(QStringLiteral(QM_TEST_DATA_DIR) + u"/document/three_sheets_second_active.xls"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    fixture_ = file.readAll();
}

void XlsActiveSheetTest::findsTheSheetActiveWhenSaved()
{
    QCOMPARE(qm::calc::xlsActiveSheetIndex(fixture_), std::optional<int>(1));
}

void XlsActiveSheetTest::readsWorkbooksOfEveryShapeAndGivesUpOnOtherFormats_data()
{
    // Written by LibreOffice from the .fods beside them, or rebuilt around its
    // workbook stream in the shapes Excel files may have.
    QTest::addColumn<QString>("seed");
    QTest::addColumn<std::optional<int>>("expected");
    const std::optional<int> none;
    const std::pair<const char *, std::optional<int>> seeds[] = {
        {"one_sheet.xls", 0},
        {"two_sheets_first_active.xls", 0},
        {"three_sheets_second_active.xls", 1},
        {"five_sheets_fourth_active.xls", 3},
        {"twelve_sheets_last_active.xls", 11},
        {"three_sheets_second_active_sectors_4096.xls", 1},
        {"five_sheets_fourth_active_sectors_4096.xls", 3},
        {"three_sheets_second_active_fat_continued.xls", 1},
        {"three_sheets_second_active_book_stream.xls", 1},
        {"five_sheets_fourth_active_book_stream.xls", 3},
        {"five_sheets_fourth_active.xlsx", none},
        {"five_sheets_fourth_active.ods", none},
        {"five_sheets_fourth_active.fods", none},
        {"looping_minifat_chain_copied_past_the_file_size.xls", none},
    };
    for (const auto &[seed, expected] : seeds)
        QTest::newRow(seed) << QString::fromLatin1(seed) << expected;
}

void XlsActiveSheetTest::readsWorkbooksOfEveryShapeAndGivesUpOnOtherFormats()
{
    QFETCH(QString, seed);
    QFETCH(std::optional<int>, expected);
    QFile file(QStringLiteral(QM_XLS_SEEDS_DIR) + u'/' + seed);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QCOMPARE(qm::calc::xlsActiveSheetIndex(file.readAll()), expected);
}

void XlsActiveSheetTest::givesUpOnFilesThatAreNoWorkbook_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("a;b;c\n1;2;3\n");
    QTest::newRow("zip (ods, xlsx)") << QByteArray("PK\x03\x04").append(600, '\0');
    QTest::newRow("compound header only") << fixture_.left(512);
    QByteArray badSectorSize = fixture_;
    badSectorSize[0x1E] = 30;
    QTest::newRow("absurd sector size") << badSectorSize;
}

void XlsActiveSheetTest::givesUpOnFilesThatAreNoWorkbook()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(qm::calc::xlsActiveSheetIndex(bytes), std::nullopt);
}

void XlsActiveSheetTest::everyTruncationGivesUpOrAnswersRightly()
{
    for (qsizetype length = 0; length < fixture_.size(); length += 7) {
        const std::optional<int> index = qm::calc::xlsActiveSheetIndex(fixture_.left(length));
        QVERIFY2(!index || *index == 1, qPrintable(QString::number(length)));
    }
}

void XlsActiveSheetTest::loopingAllocationTableEndsTheSearch()
{
    // Every sector names itself as its successor.
    QByteArray looping = fixture_;
    const auto byteAt = [&](int at) { return static_cast<quint32>(static_cast<unsigned char>(looping.at(at))); };
    const quint32 fatSector = byteAt(0x4C) | byteAt(0x4D) << 8 | byteAt(0x4E) << 16 | byteAt(0x4F) << 24;
    const qsizetype fatOffset = (qsizetype(fatSector) + 1) * 512;
    QVERIFY(fatOffset + 512 <= looping.size());
    for (int entry = 0; entry < 128; ++entry)
        for (int b = 0; b < 4; ++b)
            looping[fatOffset + 4 * entry + b] = char((entry >> (8 * b)) & 0xFF);
    QCOMPARE(qm::calc::xlsActiveSheetIndex(looping), std::nullopt);
}

QTEST_GUILESS_MAIN(XlsActiveSheetTest)
#include "test_xls_active_sheet.moc"
