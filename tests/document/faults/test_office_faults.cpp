// The spreadsheet application missing, failing to start, or killed while the
// act is being filled: "Печатать" reports it with "Повторить ?", the window
// keeps the act, and Yes once the office is back completes the act once.
// Runs the real LibreOffice, headless, on a private profile.

#include "../uno/office_probe.h"
#include "app/main_window/form1.h"
#include "archive/archive_table.h"
#include "common/failure.h"
#include "document/uno/libreoffice_calc.h"
#include "support/log_capture.h"
#include "support/main_window_harness.h"
#include "switchable_office.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

const QString kOrganisation = u"ООО «Стойкость»"_s;
const QString kSerial = u"0042"_s;

// Cells written before the office is killed: the act is well under way.
constexpr int kCellsBeforeKill = 10;

// Waits for the office only bound a hang; how fast it goes never decides a case.
constexpr int kHangDeadlineMs = 60000;

// For each workbook of the office that holds an act for this organisation,
// whether it is on screen.
QList<bool> actWorkbooksShown(const calc::OfficeConnection &office, const QString &organisation)
{
    using css::uno::Reference;
    QList<bool> shown;
    const Reference<css::container::XEnumeration> documents = office.desktop->getComponents()->createEnumeration();
    while (documents->hasMoreElements()) {
        const Reference<css::sheet::XSpreadsheetDocument> workbook(documents->nextElement(), css::uno::UNO_QUERY);
        if (!workbook.is() || cellContents(sheetNamed(workbook, u"Акт"_s), u"F7"_s).text != organisation)
            continue;
        const Reference<css::frame::XModel> model(workbook, css::uno::UNO_QUERY_THROW);
        const Reference<css::awt::XWindow2> window(model->getCurrentController()->getFrame()->getContainerWindow(),
                                                   css::uno::UNO_QUERY_THROW);
        shown << bool(window->isVisible());
    }
    return shown;
}

}  // namespace

class OfficeFaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(work_.isValid());
        QVERIFY2(QFile::exists(shippedTemplate()), qPrintable(u"no template at "_s + shippedTemplate()));
        LibreOfficeOptions options;
        options.headless = true;
        options.profileDir = profileDir();
        options.printToFile = work_.filePath(u"printout.pdf"_s);
        working_ = makeLibreOfficeCalc(options);

        options.sofficePath = work_.filePath(u"no-such-soffice"_s);
        missing_ = makeLibreOfficeCalc(options);

        // An office that quits at once, as one with a broken installation does.
        // The start deadline stays the program's own: on a busy machine a shorter
        // one turns a slow start of the working office into a failure too.
        options.sofficePath = work_.filePath(u"quitting-soffice"_s);
        QVERIFY(writeScript(options.sofficePath, "#!/bin/sh\nexit 1\n"));
        quitting_ = makeLibreOfficeCalc(options);

        // An office killed while it starts: it runs a moment, then is gone. The
        // deadline is far beyond the test's own: only noticing its end can
        // report it in time.
        options.sofficePath = work_.filePath(u"dying-soffice"_s);
        QVERIFY(writeScript(options.sofficePath, "#!/bin/sh\nsleep 1\nkill -9 $$\n"));
        options.startTimeoutSeconds = 3600;
        dying_ = makeLibreOfficeCalc(options);
    }

    void cleanupTestCase()
    {
        for (const auto &instance : office_.started) {
            if (!instance->isAlive())
                continue;
            try {
                terminateOffice(instance->connection());
            } catch (const css::uno::Exception &) {
                // Going away while it terminates is what we asked for.
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(officeProcesses(profileDir()).isEmpty(), kHangDeadlineMs);
        // Nothing of ours may outlive the test.
        QProcess pgrep;
        pgrep.start(u"pgrep"_s, {u"-f"_s, work_.path()});
        QVERIFY(pgrep.waitForFinished(kHangDeadlineMs));
        QCOMPARE(QString::fromUtf8(pgrep.readAllStandardOutput()), QString());
    }

    void officeThatDoesNotStartIsRetriedOnceItIsBack_data()
    {
        QTest::addColumn<QString>("office");
        QTest::newRow("soffice missing") << u"missing"_s;
        QTest::newRow("soffice quits at once") << u"quitting"_s;
        QTest::newRow("soffice killed while it starts") << u"dying"_s;
    }

    void officeThatDoesNotStartIsRetriedOnceItIsBack()
    {
        QFETCH(QString, office);
        office_.current = office == u"missing"_s ? missing_.get()
            : office == u"dying"_s               ? dying_.get()
                                                 : quitting_.get();
        const std::size_t startedBefore = office_.started.size();
        Program program(office_);
        auto window = program.start();
        QVERIFY(window);
        program.prompts.whileMessageShown = [&](const MessageRequest &request) {
            if (request.text.endsWith(u"Повторить ?"_s))
                office_.current = working_.get();
        };
        program.prompts.answer(PromptAnswer::Yes);  // repeat the start
        program.prompts.answer(PromptAnswer::No);   // do not print

        click(*window, "bCreateAct");

        QCOMPARE(program.retryQuestions().size(), 1);
        const QString question = program.retryQuestions()[0];
        QVERIFY2(question.startsWith(u"429 : "_s), qPrintable(question));
        QVERIFY2(question.contains(u"LibreOffice"_s), qPrintable(question));
        if (office != u"missing"_s)
            QVERIFY2(question.contains(u"завершилась, не успев ответить"_s), qPrintable(question));
        QCOMPARE(office_.started.size(), startedBefore + 1);
        expectCompletedOnce(program, *window);
    }

    void officeKilledWhileFillingIsRetriedInAFreshOne()
    {
        office_.current = working_.get();
        const std::size_t startedBefore = office_.started.size();
        bool killed = false;
        office_.afterCellWritten = [&](int written) {
            if (!killed && written == kCellsBeforeKill) {
                killed = true;
                QTRY_VERIFY_WITH_TIMEOUT(killedAllOffices(profileDir()), kHangDeadlineMs);
            }
        };
        Program program(office_);
        auto window = program.start();
        QVERIFY(window);
        program.prompts.answer(PromptAnswer::Yes);  // repeat with a fresh office
        program.prompts.answer(PromptAnswer::No);   // do not print

        const LogCapture log;
        click(*window, "bCreateAct");
        office_.afterCellWritten = nullptr;

        QVERIFY(killed);
        QCOMPARE(program.retryQuestions().size(), 1);
        const QString question = program.retryQuestions()[0];
        // Russian only: the bridge's own English words are in the log, not on screen.
        static const QRegularExpression said(
            u"^462 : LibreOffice больше не отвечает \\(операция: [^)]+\\)\r\nПовторить \\?$"_s);
        QVERIFY2(said.match(question).hasMatch(), qPrintable(question));
        QVERIFY2(!QString(question).remove(u"LibreOffice"_s).contains(QRegularExpression(u"[A-Za-z]{2,}"_s)),
                 qPrintable(question));
        const QString logged = log.joined();
        QVERIFY2(logged.contains(u"failure 462 at step \"template filling\" file \""_s)
                     && logged.contains(u"Quillmarch.xls"_s) && logged.contains(u"]"_s),
                 qPrintable(logged));
        QCOMPARE(office_.started.size(), startedBefore + 2);
        QVERIFY(!office_.started[startedBefore]->isAlive());
        expectCompletedOnce(program, *window);
    }

    // "Visible" shows the instance with all its workbooks: the one a failed fill
    // left behind must not stay hidden, keeping the office alive unseen.
    void partlyFilledWorkbookIsShownBesideTheCompleteOne()
    {
        const QString organisation = u"ООО «Видимость»"_s;
        office_.current = working_.get();
        const std::size_t startedBefore = office_.started.size();
        bool failed = false;
        office_.afterCellWritten = [&](int written) {
            if (!failed && written == kCellsBeforeKill) {
                failed = true;
                throw Failure(FailureCode::ApplicationDefined, u"Ячейка не принята"_s);
            }
        };
        Program program(office_);
        auto window = program.start();
        QVERIFY(window);
        window->actControls().txtNameOrg->setText(organisation);
        program.prompts.answer(PromptAnswer::Yes);  // fill again in the same office
        program.prompts.answer(PromptAnswer::No);   // do not print

        click(*window, "bCreateAct");
        office_.afterCellWritten = nullptr;

        QVERIFY(failed);
        QCOMPARE(program.retryQuestions().size(), 1);
        QCOMPARE(office_.started.size(), startedBefore + 1);
        QCOMPARE(actWorkbooksShown(office_.started.back()->connection(), organisation), (QList<bool>{true, true}));
        QCOMPARE(CountArchiveRecords(program.archive), 1);
    }

private:
    // The program over the switchable office, the act typed in.
    struct Program : MainWindowHarness {
        explicit Program(SwitchableOffice &office)
            : MainWindowHarness(HarnessOptions()
                                    .withSettings(sampleSettings(1))
                                    .withTemplate(ProgramTemplate::Shipped)
                                    .withSpreadsheet(&office))
        {
        }

        std::unique_ptr<Form1> start()
        {
            auto window = MainWindowHarness::start();
            if (window) {
                window->actControls().txtNameOrg->setText(kOrganisation);
                window->actControls().txtZavNum->setText(kSerial);
                window->actControls().cmbVidOp->setCurrentIndex(1);
            }
            return window;
        }
    };

    // The last office holds the whole act, the archive holds it once, and the
    // window still has it.
    void expectCompletedOnce(Program &program, const Form1 &window)
    {
        const auto &last = office_.started.back();
        QVERIFY(last->isAlive());
        const auto sheet = sheetNamed(last->activeWorkbook(), u"Акт"_s);
        QCOMPARE(cellContents(sheet, u"F7"_s).text, kOrganisation);
        QCOMPARE(cellContents(sheet, u"I6"_s).text, kSerial);
        QCOMPARE(CountArchiveRecords(program.archive), 1);
        QCOMPARE(window.statusPanelText(2), u"Записей: 1"_s);
        QCOMPARE(window.actControls().txtNameOrg->text(), kOrganisation);
        QCOMPARE(window.actControls().txtZavNum->text(), kSerial);
    }

    QString shippedTemplate() const { return QStringLiteral(QM_BUILT_PROGRAM_DIR) + u"/Quillmarch.xls"_s; }
    QString profileDir() const { return work_.filePath(u"profile"_s); }

    QTemporaryDir work_;
    std::unique_ptr<SpreadsheetApplication> working_;
    std::unique_ptr<SpreadsheetApplication> missing_;
    std::unique_ptr<SpreadsheetApplication> quitting_;
    std::unique_ptr<SpreadsheetApplication> dying_;
    SwitchableOffice office_;
};

}  // namespace qm::test

QTEST_MAIN(qm::test::OfficeFaultsTest)
#include "test_office_faults.moc"
