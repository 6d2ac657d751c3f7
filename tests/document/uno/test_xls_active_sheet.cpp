#include "document/uno/xls_active_sheet.h"

#include <QFile>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

// The active sheet is read from template files the program does not control:
// whatever they hold, the reader must answer or give up, never read past them.
class XlsActiveSheetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void findsTheSheetActiveWhenSaved();
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
