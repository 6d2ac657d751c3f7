#include "office_probe.h"

#include "common/failure.h"
#include "document/uno/calc_instance.h"
#include "document/uno/libreoffice_calc.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct CellValue {
    QString address;
    QString text;
};

// A complete act as the template filling writes it: 37 cells, every value text.
QList<CellValue> actCells()
{
    QList<CellValue> cells{
        {u"I1"_s, u"12"_s},           {u"J43"_s, u"12"_s},           {u"C6"_s, u"АМС-100К"_s},
        {u"G40"_s, u"АМС-100К"_s},    {u"I6"_s, u"0123456"_s},       {u"M40"_s, u"0123456"_s},
        {u"O6"_s, u"2019"_s},         {u"C41"_s, u"2019"_s},         {u"F7"_s, u"ООО \"Ромашка & Ко\" <Север>"_s},
        {u"F28"_s, u"Иванов И.И."_s}, {u"K28"_s, u"01.03.2027г."_s}, {u"K45"_s, u"01.03.2027г."_s},
    };
    const QString inn = u"0123456789  "_s;
    for (int i = 0; i < 12; ++i)
        cells.append({QChar(u'C' + i) + u"13"_s, inn.mid(i, 1)});
    cells.append({u"F24"_s, u"не сохранилось"_s});
    cells.append({u"L24"_s, u"возможно"_s});
    // Typed as input this would be a formula; it must stay the text it is.
    cells.append({u"D17"_s, u"=1+1"_s});
    const QString eklz = u"000712345 "_s;
    for (int i = 0; i < 10; ++i)
        cells.append({QChar(u'C' + i) + u"15"_s, eklz.mid(i, 1)});
    return cells;
}

}  // namespace

class LibreOfficeCalcTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void shippedTemplateKeepsEveryValueAsText();
    void printedActCarriesTheValuesOnOnePage();
    void twoWorkbooksFromOneTemplateInOneInstance();
    void cellsGoToTheSheetActiveWhenSaved_data();
    void cellsGoToTheSheetActiveWhenSaved();
    void unusableTemplateIsANumberedFailure_data();
    void unusableTemplateIsANumberedFailure();
    void printingFewerThanOneCopyFails_data();
    void printingFewerThanOneCopyFails();
    void templateChangedUnderTheSameNameIsReadAgain();
    void cellsWrittenTogetherEqualCellsWrittenOneByOne();
    void pdfCopyIsOneA4PageWithTheActAsText();
    void officeKilledMidRunFailsWith462FromThenOn();

private:
    qm::calc::CalcInstance &instance() { return static_cast<qm::calc::CalcInstance &>(*instance_); }
    QString shippedTemplate() const { return QStringLiteral(QM_BUILT_PROGRAM_DIR) + u"/Quillmarch.xls"_s; }
    QString profileDir() const { return work_.filePath(u"profile"_s); }
    QString printFile() const { return work_.filePath(u"printout.pdf"_s); }
    void expectFailure(int number, const std::function<void()> &operation);

    QTemporaryDir work_;
    std::unique_ptr<qm::SpreadsheetApplication> application_;
    std::unique_ptr<qm::SpreadsheetInstance> instance_;
};

void LibreOfficeCalcTest::expectFailure(int number, const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const qm::Failure &failure) {
        QVERIFY2(!failure.description().isEmpty(), "a failure must say what went wrong");
        QCOMPARE(failure.number(), number);
        return;
    }
    QFAIL("the operation did not fail");
}

void LibreOfficeCalcTest::initTestCase()
{
    QVERIFY(work_.isValid());
    QVERIFY2(QFile::exists(shippedTemplate()), qPrintable(u"no template at "_s + shippedTemplate()));
    qm::LibreOfficeOptions options;
    options.headless = true;
    options.profileDir = profileDir();
    options.printToFile = printFile();
    application_ = qm::makeLibreOfficeCalc(options);
    instance_ = application_->startInstance();
}

void LibreOfficeCalcTest::cleanupTestCase()
{
    if (instance_ && instance().isAlive()) {
        try {
            qm::test::terminateOffice(instance().connection());
        } catch (const css::uno::Exception &) {
            // The office going away while it terminates is what we asked for.
        }
    }
    // It writes its profile on the way out: the folder goes only after it has.
    QTRY_VERIFY_WITH_TIMEOUT(qm::test::officeProcesses(profileDir()).isEmpty(), 60000);
}

void LibreOfficeCalcTest::shippedTemplateKeepsEveryValueAsText()
{
    const QByteArray templateHash = qm::test::fileSha256(shippedTemplate());
    instance_->setSheetsInNewWorkbook(1);
    instance_->addWorkbookFromTemplate(shippedTemplate());
    const auto sheet = instance_->activeSheet();
    const QList<CellValue> cells = actCells();
    QCOMPARE(cells.size(), 37);
    for (const CellValue &cell : cells)
        sheet->setCellText(cell.address, cell.text);

    const auto written = qm::test::sheetNamed(instance().activeWorkbook(), u"Акт"_s);
    for (const CellValue &cell : cells) {
        const qm::test::CellContents contents = qm::test::cellContents(written, cell.address);
        QVERIFY2(contents.type == css::table::CellContentType_TEXT, qPrintable(cell.address));
        QCOMPARE(contents.text, cell.text);
    }
    QCOMPARE(qm::test::fileSha256(shippedTemplate()), templateHash);
}

void LibreOfficeCalcTest::printedActCarriesTheValuesOnOnePage()
{
    QFile::remove(printFile());
    instance_->addWorkbookFromTemplate(shippedTemplate());
    const auto sheet = instance_->activeSheet();
    for (const CellValue &cell : actCells())
        sheet->setCellText(cell.address, cell.text);
    instance_->printActiveWorkbook(1);

    QVERIFY(QFile::exists(printFile()));
    QCOMPARE(qm::test::pdfPageCount(printFile()), 1);
    const QString text = qm::test::pdfText(printFile());
    for (const QString &expected : {u"АКТ"_s, u"АМС-100К"_s, u"0123456"_s, u"ООО \"Ромашка & Ко\" <Север>"_s,
                                    u"Иванов И.И."_s, u"01.03.2027г."_s, u"не сохранилось"_s, u"возможно"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected));
    // Both halves of the act carry the date.
    QCOMPARE(text.count(u"01.03.2027г."_s), 2);
}

void LibreOfficeCalcTest::twoWorkbooksFromOneTemplateInOneInstance()
{
    instance_->addWorkbookFromTemplate(shippedTemplate());
    instance_->activeSheet()->setCellText(u"F7"_s, u"первая"_s);
    const auto first = instance().activeWorkbook();
    instance_->addWorkbookFromTemplate(shippedTemplate());
    instance_->activeSheet()->setCellText(u"F7"_s, u"вторая"_s);
    const auto second = instance().activeWorkbook();

    QVERIFY(first != second);
    QCOMPARE(qm::test::cellContents(qm::test::sheetNamed(first, u"Акт"_s), u"F7"_s).text, u"первая"_s);
    QCOMPARE(qm::test::cellContents(qm::test::sheetNamed(second, u"Акт"_s), u"F7"_s).text, u"вторая"_s);
    // Shown to the user, the instance stays usable.
    instance_->setVisible(true);
    instance_->activeSheet()->setCellText(u"C6"_s, u"после показа"_s);
}

void LibreOfficeCalcTest::cellsGoToTheSheetActiveWhenSaved_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("extension");
    QTest::newRow("xls") << u"MS Excel 97"_s << u"xls"_s;
    QTest::newRow("xlsx") << u"Calc MS Excel 2007 XML"_s << u"xlsx"_s;
    QTest::newRow("ods") << u"calc8"_s << u"ods"_s;
    QTest::newRow("fods") << QString() << u"fods"_s;
}

void LibreOfficeCalcTest::cellsGoToTheSheetActiveWhenSaved()
{
    QFETCH(QString, filter);
    QFETCH(QString, extension);
    const QString fixture = QStringLiteral(QM_TEST_DATA_DIR) + u"/document/three_sheets_second_active.fods"_s;
    QString templatePath = fixture;
    if (!filter.isEmpty()) {
        templatePath = work_.filePath(u"three_sheets."_s + extension);
        qm::test::convertDocument(instance().connection(), fixture, templatePath, filter);
    }

    instance_->addWorkbookFromTemplate(templatePath);
    instance_->activeSheet()->setCellText(u"C6"_s, u"сюда"_s);

    const auto workbook = instance().activeWorkbook();
    QCOMPARE(qm::test::cellContents(qm::test::sheetNamed(workbook, u"Второй"_s), u"C6"_s).text, u"сюда"_s);
    QCOMPARE(qm::test::cellContents(qm::test::sheetNamed(workbook, u"Первый"_s), u"C6"_s).text, QString());
    QCOMPARE(qm::test::cellContents(qm::test::sheetNamed(workbook, u"Третий"_s), u"C6"_s).text, QString());
}

void LibreOfficeCalcTest::unusableTemplateIsANumberedFailure_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("number");
    const QByteArray noFile;
    QTest::newRow("missing") << u"absent.xls"_s << noFile << qm::FailureCode::TemplatePathInvalid;
    QTest::newRow("directory") << u"folder.xls"_s << noFile << qm::FailureCode::TemplatePathInvalid;
    QTest::newRow("empty path") << QString() << noFile << qm::FailureCode::TemplatePathInvalid;
    QTest::newRow("zero bytes") << u"empty.xls"_s << QByteArray("") << qm::FailureCode::ApplicationDefined;
    static constexpr char garbage[] = "\x01\x02 not a workbook \xff\xfe\x00 at all";
    QTest::newRow("garbage") << u"garbage.xls"_s << QByteArray(garbage, sizeof garbage - 1)
                             << qm::FailureCode::ApplicationDefined;
    QTest::newRow("plain text") << u"table.xls"_s << QByteArray("a;b;c\n1;2;3\n")
                                << qm::FailureCode::ApplicationDefined;
    QTest::newRow("text document")
        << u"letter.xls"_s
        << QByteArray("<?xml version=\"1.0\"?><office:document "
                      "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                      "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.3\" "
                      "office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:body><office:text>"
                      "<text:p>письмо</text:p></office:text></office:body></office:document>")
        << qm::FailureCode::ApplicationDefined;
}

void LibreOfficeCalcTest::unusableTemplateIsANumberedFailure()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(int, number);
    QTemporaryDir folder;
    const QString path = name.isEmpty() ? QString() : folder.filePath(name);
    if (name == u"folder.xls"_s)
        QVERIFY(QDir(folder.path()).mkdir(name));
    else if (!contents.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    const auto before = instance().activeWorkbook();
    expectFailure(number, [&] { instance_->addWorkbookFromTemplate(path); });
    // Nothing half-made became the active workbook.
    QVERIFY(instance().activeWorkbook() == before);
}

void LibreOfficeCalcTest::printingFewerThanOneCopyFails_data()
{
    QTest::addColumn<int>("copies");
    QTest::newRow("none") << 0;
    QTest::newRow("negative") << -2;
}

void LibreOfficeCalcTest::printingFewerThanOneCopyFails()
{
    QFETCH(int, copies);
    QFile::remove(printFile());
    instance_->addWorkbookFromTemplate(shippedTemplate());
    expectFailure(qm::FailureCode::ApplicationDefined, [&] { instance_->printActiveWorkbook(copies); });
    QVERIFY(!QFile::exists(printFile()));
}

// What the template's file says of itself is kept between acts only until the
// file changes: another workbook under the same name.
void LibreOfficeCalcTest::templateChangedUnderTheSameNameIsReadAgain()
{
    const QString path = work_.filePath(u"changing/Quillmarch.xls"_s);
    QVERIFY(QDir().mkpath(work_.filePath(u"changing"_s)));
    QVERIFY(QFile::copy(shippedTemplate(), path));
    instance_->addWorkbookFromTemplate(path);
    instance_->activeSheet()->setCellText(u"C6"_s, u"первый"_s);
    QCOMPARE(qm::test::cellContents(qm::test::sheetNamed(instance().activeWorkbook(), u"Акт"_s), u"C6"_s).text,
             u"первый"_s);

    const QString other = work_.filePath(u"three_sheets_second_active.xls"_s);
    qm::test::convertDocument(instance().connection(),
                              QStringLiteral(QM_TEST_DATA_DIR) + u"/document/three_sheets_second_active.fods"_s, other,
                              u"MS Excel 97"_s);
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::copy(other, path));
    instance_->addWorkbookFromTemplate(path);
    instance_->activeSheet()->setCellText(u"C6"_s, u"второй"_s);
    QCOMPARE(qm::test::cellContents(qm::test::sheetNamed(instance().activeWorkbook(), u"Второй"_s), u"C6"_s).text,
             u"второй"_s);
}

// The act written in 17 runs of cells is the act written in 37 single cells,
// cell for cell over the whole printed area: every value text, none parsed.
void LibreOfficeCalcTest::cellsWrittenTogetherEqualCellsWrittenOneByOne()
{
    QList<CellValue> cells = actCells();
    // What a parse would change: a leading zero, an apostrophe, a date, a
    // number, an empty cell amid written ones, a blank.
    cells[4].text = u"007"_s;
    cells[5].text = u"'007"_s;
    cells[6].text = u"01.03.2027"_s;
    cells[7].text = u"1e3"_s;
    cells[14].text = QString();
    cells[15].text = u" "_s;
    std::vector<qm::CellText> together;
    for (const CellValue &cell : cells)
        together.push_back({cell.address, cell.text});

    instance_->addWorkbookFromTemplate(shippedTemplate());
    const auto reference = instance_->activeSheet();
    for (const CellValue &cell : cells)
        reference->setCellText(cell.address, cell.text);
    const auto oneByOne = qm::test::sheetNamed(instance().activeWorkbook(), u"Акт"_s);
    instance_->addWorkbookFromTemplate(shippedTemplate());
    instance_->activeSheet()->setCellTexts(together);
    const auto written = qm::test::sheetNamed(instance().activeWorkbook(), u"Акт"_s);

    for (int row = 1; row <= 50; ++row) {
        for (char column = 'A'; column <= 'P'; ++column) {
            const QString address = QChar::fromLatin1(column) + QString::number(row);
            const qm::test::CellContents expected = qm::test::cellContents(oneByOne, address);
            const qm::test::CellContents actual = qm::test::cellContents(written, address);
            QVERIFY2(actual.type == expected.type && actual.text == expected.text,
                     qPrintable(address + u": «"_s + actual.text + u"» ≠ «"_s + expected.text + u'»'));
        }
    }
    for (const CellValue &cell : cells)
        if (!cell.text.isEmpty())
            QVERIFY2(qm::test::cellContents(written, cell.address).type == css::table::CellContentType_TEXT,
                     qPrintable(cell.address));
}

void LibreOfficeCalcTest::pdfCopyIsOneA4PageWithTheActAsText()
{
    instance_->addWorkbookFromTemplate(shippedTemplate());
    const auto sheet = instance_->activeSheet();
    for (const CellValue &cell : actCells())
        sheet->setCellText(cell.address, cell.text);
    const QString pdf = work_.filePath(u"Акты/копия акта.pdf"_s);
    QVERIFY(QDir().mkpath(work_.filePath(u"Акты"_s)));
    try {
        instance_->exportActiveWorkbookAsPdf(pdf);
    } catch (const qm::Failure &failure) {
        QFAIL(qPrintable(failure.description() + u" ["_s + failure.technicalDetail() + u']'));
    }

    QCOMPARE(qm::test::pdfPageCount(pdf), 1);
    QVERIFY2(qm::test::pdfPageSize(pdf).contains(u"(A4)"_s), qPrintable(qm::test::pdfPageSize(pdf)));
    const QString text = qm::test::pdfText(pdf);
    QVERIFY2(text.contains(u"ООО \"Ромашка & Ко\" <Север>"_s) && text.contains(u"01.03.2027г."_s), qPrintable(text));
}

void LibreOfficeCalcTest::officeKilledMidRunFailsWith462FromThenOn()
{
    instance_->addWorkbookFromTemplate(shippedTemplate());
    const auto sheet = instance_->activeSheet();
    sheet->setCellText(u"I1"_s, u"12"_s);

    const QList<qint64> office = qm::test::officeProcesses(profileDir());
    QVERIFY(!office.isEmpty());
    for (const qint64 pid : office)
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    QTRY_VERIFY(qm::test::officeProcesses(profileDir()).isEmpty());

    const int gone = qm::FailureCode::ServerUnavailable;
    expectFailure(gone, [&] { sheet->setCellText(u"J43"_s, u"12"_s); });
    QVERIFY(!instance().isAlive());
    expectFailure(gone, [&] { sheet->setCellText(u"C6"_s, u"АМС-100К"_s); });
    expectFailure(gone, [&] { instance_->activeSheet(); });
    expectFailure(gone, [&] { instance_->printActiveWorkbook(1); });
    expectFailure(gone, [&] { instance_->setVisible(true); });
    expectFailure(gone, [&] { instance_->setSheetsInNewWorkbook(1); });
    expectFailure(gone, [&] { instance_->addWorkbookFromTemplate(shippedTemplate()); });

    // A retry starts a fresh instance, which works again.
    instance_ = application_->startInstance();
    instance_->addWorkbookFromTemplate(shippedTemplate());
    instance_->activeSheet()->setCellText(u"I1"_s, u"12"_s);
    QCOMPARE(qm::test::cellContents(qm::test::sheetNamed(instance().activeWorkbook(), u"Акт"_s), u"I1"_s).text,
             u"12"_s);
}

QTEST_GUILESS_MAIN(LibreOfficeCalcTest)
#include "test_libreoffice_calc.moc"
