// The office started ahead, through the real main window and the real
// LibreOffice (headless, a private profile per case). soffice is reached
// through a launcher that notes each start, so the test sees how many offices
// the program started and which process leads each.

#include "../document/uno/office_probe.h"
#include "app/main_window/form1.h"
#include "archive/archive_table.h"
#include "common/act_files.h"
#include "document/uno/libreoffice_calc.h"
#include "document/uno/office_launch.h"
#include "support/main_window_harness.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

// Generous: these only bound a hang on a loaded machine.
constexpr int kOfficeDeadlineMs = 60000;

const QString kOrganisation = u"ООО «Заблаговременно»"_s;

// The two moments a case acts on the office started ahead: while it is still
// starting, and once it answers on its pipe.
void whileItStartsOrOnceItAnswers()
{
    QTest::addColumn<bool>("waitUntilItAnswers");
    QTest::newRow("while it starts") << false;
    QTest::newRow("once it answers") << true;
}

// One run of the program on its own profile, with the real office.
struct Program : MainWindowHarness {
    explicit Program(const QString &work)
        : MainWindowHarness(HarnessOptions().withSettings(sampleSettings(1)).withTemplate(ProgramTemplate::Shipped)),
          profile(work + u"/profile"_s), launches(work + u"/launches"_s), printout(work + u"/printout.pdf"_s)
    {
        const QString launcher = work + u"/soffice"_s;
        if (!writeScript(
                launcher,
                QStringLiteral("#!/bin/sh\necho $$ >> '%1'\necho \"$LC_ALL\" > '%3'\nexec '%2/soffice' \"$@\"\n")
                    .arg(launches, QStringLiteral(QM_LIBREOFFICE_PROGRAM_DIR), work + u"/office-language"_s)
                    .toLocal8Bit()))
            qFatal("cannot write the launcher");

        LibreOfficeOptions options;
        options.sofficePath = launcher;
        options.headless = true;
        options.profileDir = profile;
        options.printToFile = printout;
        office = makeLibreOfficeCalc(options);
        services.spreadsheet = office.get();
    }

    // Whatever the case left running goes, so the next one starts clean.
    ~Program()
    {
        if (!QTest::qWaitFor([this] { return killedAllOffices(profile); }, kOfficeDeadlineMs))
            qWarning("office processes on %s did not end", qPrintable(profile));
    }

    // The window on screen, with the act typed; the office is then started ahead.
    std::unique_ptr<Form1> show()
    {
        auto window = start();
        if (!window)
            return window;
        window->actControls().txtNameOrg->setText(kOrganisation);
        window->actControls().cmbVidOp->setCurrentIndex(1);
        window->show();
        return window;
    }

    // The window shown once it has started its office, and, if asked, once that
    // answers; null when either failed.
    std::unique_ptr<Form1> showOnceTheOfficeIsAhead(bool untilItAnswers)
    {
        auto window = show();
        if (window)
            waitForTheOfficeAhead(untilItAnswers);
        if (QTest::currentTestFailed())
            window.reset();
        return window;
    }

    void waitForTheOfficeAhead(bool untilItAnswers) const
    {
        QTRY_COMPARE_WITH_TIMEOUT(launched().size(), 1, kOfficeDeadlineMs);
        if (untilItAnswers)
            QTRY_VERIFY_WITH_TIMEOUT(officeAnswers(), kOfficeDeadlineMs);
    }

    // Launcher process ids, one per office started.
    QList<qint64> launched() const
    {
        QFile file(launches);
        QList<qint64> pids;
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray &line : file.readAll().split('\n'))
                if (!line.isEmpty())
                    pids << line.toLongLong();
        return pids;
    }

    bool officeAnswers() const { return !answeringPipe(profile).isEmpty(); }

    bool isRunning(qint64 pid) const { return officeProcesses(profile).contains(pid); }

    bool pdfHasTheAct() const { return QFile::exists(printout) && pdfText(printout).contains(kOrganisation); }

    QString profile;
    QString launches;
    QString printout;
    std::unique_ptr<SpreadsheetApplication> office;
};

}  // namespace

class OfficeAheadTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(work_.emplace().isValid()); }
    void cleanup() { work_.reset(); }

    void firstPrintUsesTheOfficeStartedAhead()
    {
        Program program(work_->path());
        const auto window = program.showOnceTheOfficeIsAhead(true);
        QVERIFY(window);

        program.prompts.answer(PromptAnswer::Yes);  // print
        click(*window, "bCreateAct");

        QCOMPARE(program.retryQuestions(), QStringList());
        QCOMPARE(program.launched().size(), 1);
        QVERIFY(program.pdfHasTheAct());
        // The office speaks Russian, as the rest of the screen, whatever the desktop's language.
        QFile language(work_->filePath(u"office-language"_s));
        QVERIFY(language.open(QIODevice::ReadOnly));
        QCOMPARE(language.readAll().trimmed(), QByteArray("ru_RU.UTF-8"));
        QCOMPARE(CountArchiveRecords(program.archive), 1);

        // Its PDF copy beside the archive, named after the act and its record:
        // one A4 page holding the customer as text.
        const ActData act = window->actData();
        const QString pdf
            = actPdfFolder(program.path()) + u'/' + actPdfFileName(act.date.date(), act.customer, act.serialNumber, 1);
        QVERIFY2(QFile::exists(pdf), qPrintable(pdf));
        QCOMPARE(pdfPageCount(pdf), 1);
        QVERIFY2(pdfPageSize(pdf).contains(u"(A4)"_s), qPrintable(pdfPageSize(pdf)));
        QVERIFY(pdfText(pdf).contains(kOrganisation));

        // The act's office is the mechanic's now: leaving does not end it.
        const qint64 office = program.launched().constFirst();
        click(*window, "bExit");
        QVERIFY(!window->isVisible());
        QTest::qWait(2000);
        QVERIFY(program.isRunning(office));
    }

    void leavingWithoutAnActEndsTheOfficeStartedAhead_data() { whileItStartsOrOnceItAnswers(); }

    void leavingWithoutAnActEndsTheOfficeStartedAhead()
    {
        QFETCH(bool, waitUntilItAnswers);
        Program program(work_->path());
        const auto window = program.showOnceTheOfficeIsAhead(waitUntilItAnswers);
        QVERIFY(window);
        const qint64 office = program.launched().constFirst();

        click(*window, "bExit");

        QVERIFY(!window->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!program.isRunning(office), kOfficeDeadlineMs);
        QTRY_VERIFY_WITH_TIMEOUT(officeProcesses(program.profile).isEmpty(), kOfficeDeadlineMs);
        QCOMPARE(program.launched().size(), 1);
    }

    // The first print takes the office started ahead and ends early: what it
    // made and never showed is closed at once, and leaving ends the office.
    void leavingAfterAPrintEndedEarlyEndsItsOffice()
    {
        Program program(work_->path());
        program.writeFile(u"Quillmarch.xls"_s, templateWithProtectedActSheet());
        const auto window = program.showOnceTheOfficeIsAhead(true);
        QVERIFY(window);
        const qint64 office = program.launched().constFirst();

        program.prompts.answer(PromptAnswer::No);  // do not repeat the fill
        click(*window, "bCreateAct");

        QCOMPARE(program.retryQuestions().size(), 1);
        QVERIFY2(program.retryQuestions()[0].startsWith(u"1004 : "_s), qPrintable(program.retryQuestions()[0]));
        QCOMPARE(documentsIn(answeringPipe(program.profile)), 0);
        QCOMPARE(CountArchiveRecords(program.archive), 0);

        click(*window, "bExit");
        QTRY_VERIFY_WITH_TIMEOUT(!program.isRunning(office), kOfficeDeadlineMs);
        QTRY_VERIFY_WITH_TIMEOUT(officeProcesses(program.profile).isEmpty(), kOfficeDeadlineMs);
    }

    void officeThatDiedAfterStartingAheadIsReplaced_data() { whileItStartsOrOnceItAnswers(); }

    void officeThatDiedAfterStartingAheadIsReplaced()
    {
        QFETCH(bool, waitUntilItAnswers);
        Program program(work_->path());
        const auto window = program.showOnceTheOfficeIsAhead(waitUntilItAnswers);
        QVERIFY(window);
        QTRY_VERIFY_WITH_TIMEOUT(killedAllOffices(program.profile), kOfficeDeadlineMs);

        program.prompts.answer(PromptAnswer::Yes);  // print
        click(*window, "bCreateAct");

        QCOMPARE(program.retryQuestions(), QStringList());
        QCOMPARE(program.launched().size(), 2);
        QVERIFY(program.pdfHasTheAct());
        QCOMPARE(CountArchiveRecords(program.archive), 1);
        QVERIFY(program.isRunning(program.launched().constLast()));
    }

private:
    std::optional<QTemporaryDir> work_;
};

}  // namespace qm::test

QTEST_MAIN(qm::test::OfficeAheadTest)
#include "test_office_ahead.moc"
