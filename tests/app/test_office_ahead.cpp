// The office started ahead, through the real main window and the real
// LibreOffice (headless, a private profile per case). soffice is reached
// through a launcher that notes each start, so the test sees how many offices
// the program started and which process leads each.

#include "../document/uno/office_probe.h"
#include "app/form1.h"
#include "app/startup.h"
#include "archive/archive_table.h"
#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "common/act_files.h"
#include "document/uno/libreoffice_calc.h"
#include "document/uno/office_launch.h"
#include "support/fake_keyboard_layout.h"
#include "support/sample_settings.h"
#include "support/scripted_prompts.h"
#include "support/temp_program_folder.h"

#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

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
struct Program {
    explicit Program(const QString &work)
        : profile(work + u"/profile"_s), launches(work + u"/launches"_s), printout(work + u"/printout.pdf"_s)
    {
        const QString launcher = work + u"/soffice"_s;
        QFile script(launcher);
        if (!script.open(QIODevice::WriteOnly))
            qFatal("cannot write the launcher");
        script.write(QStringLiteral("#!/bin/sh\necho $$ >> '%1'\necho \"$LC_ALL\" > '%3'\nexec '%2/soffice' \"$@\"\n")
                         .arg(launches, QStringLiteral(QM_LIBREOFFICE_PROGRAM_DIR), work + u"/office-language"_s)
                         .toLocal8Bit());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        LibreOfficeOptions options;
        options.sofficePath = launcher;
        options.headless = true;
        options.profileDir = profile;
        options.printToFile = printout;
        office = makeLibreOfficeCalc(options);

        folder.writeSettings(sampleSettings(1));
        QFile::copy(QStringLiteral(QM_BUILT_PROGRAM_DIR) + u"/Quillmarch.xls"_s, folder.filePath(u"Quillmarch.xls"_s));
        createEmptyArchive(folder.filePath(u"QM.dbf"_s));
        services.programFolder = folder.path();
        services.prompts = &prompts;
        services.keyboardLayout = &layout;
        services.spreadsheet = office.get();
        services.archive = &archive;
    }

    // Whatever the case left running goes, so the next one starts clean.
    ~Program()
    {
        if (!QTest::qWaitFor([this] { return killedAll(); }, kOfficeDeadlineMs))
            qWarning("office processes on %s did not end", qPrintable(profile));
    }

    // Kills every office process on the profile; true once there were none. A
    // process may start another meanwhile, so callers repeat until it is true.
    bool killedAll() const
    {
        const QList<qint64> found = officeProcesses(profile);
        for (const qint64 pid : found)
            ::kill(pid_t(pid), SIGKILL);
        return found.isEmpty();
    }

    // The window on screen, with the act typed; the office is then started ahead.
    std::unique_ptr<Form1> show()
    {
        auto window = startMainWindow(services);
        if (!window)
            return window;
        window->actControls().txtNameOrg->setText(kOrganisation);
        window->actControls().cmbVidOp->setCurrentIndex(1);
        window->show();
        return window;
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

    // The pipe of the office started ahead, once it answers there.
    QString answeringPipe() const
    {
        static const QRegularExpression pipe(u"pipe,name=([^;]+);"_s);
        for (const qint64 pid : officeProcesses(profile)) {
            QFile commandLine(u"/proc/%1/cmdline"_s.arg(pid));
            if (!commandLine.open(QIODevice::ReadOnly))
                continue;
            const QRegularExpressionMatch match = pipe.match(QString::fromLocal8Bit(commandLine.readAll()));
            if (match.hasMatch() && calc::connectIfAnswering(match.captured(1)))
                return match.captured(1);
        }
        return {};
    }

    bool officeAnswers() const { return !answeringPipe().isEmpty(); }

    bool isRunning(qint64 pid) const { return officeProcesses(profile).contains(pid); }

    bool pdfHasTheAct() const { return QFile::exists(printout) && pdfText(printout).contains(kOrganisation); }

    QStringList retryQuestions() const
    {
        QStringList questions;
        for (const MessageRequest &message : prompts.messages)
            if (message.text.endsWith(u"\r\nПовторить ?"_s))
                questions << message.text;
        return questions;
    }

    QString profile;
    QString launches;
    QString printout;
    std::unique_ptr<SpreadsheetApplication> office;
    TempProgramFolder folder;
    ScriptedPrompts prompts;
    FakeKeyboardLayout layout;
    DbfArchive archive{folder.path()};
    MainWindowServices services;
};

// Waits until the window has started its office, and, if asked, until it answers.
void waitForTheOfficeAhead(const Program &program, bool untilItAnswers)
{
    QTRY_COMPARE_WITH_TIMEOUT(program.launched().size(), 1, kOfficeDeadlineMs);
    if (untilItAnswers)
        QTRY_VERIFY_WITH_TIMEOUT(program.officeAnswers(), kOfficeDeadlineMs);
}

void click(const Form1 &window, const char *button)
{
    QTest::mouseClick(window.findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
}

}  // namespace

class OfficeAheadTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(work_.emplace().isValid()); }
    void cleanup() { work_.reset(); }

    void firstPrintUsesTheOfficeStartedAhead()
    {
        Program program(work_->path());
        const auto window = program.show();
        QVERIFY(window);
        QTRY_COMPARE_WITH_TIMEOUT(program.launched().size(), 1, kOfficeDeadlineMs);
        QTRY_VERIFY_WITH_TIMEOUT(program.officeAnswers(), kOfficeDeadlineMs);

        program.prompts.answer(PromptAnswer::Yes);   // print
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
        const QString pdf = actPdfFolder(program.folder.path()) + u'/'
            + actPdfFileName(act.date.date(), act.customer, act.serialNumber, 1);
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
        const auto window = program.show();
        QVERIFY(window);
        waitForTheOfficeAhead(program, waitUntilItAnswers);
        if (QTest::currentTestFailed())
            return;
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
        program.folder.writeFile(u"Quillmarch.xls"_s, templateWithProtectedActSheet());
        const auto window = program.show();
        QVERIFY(window);
        waitForTheOfficeAhead(program, true);
        if (QTest::currentTestFailed())
            return;
        const qint64 office = program.launched().constFirst();

        program.prompts.answer(PromptAnswer::No);   // do not repeat the fill
        click(*window, "bCreateAct");

        QCOMPARE(program.retryQuestions().size(), 1);
        QVERIFY2(program.retryQuestions()[0].startsWith(u"1004 : "_s), qPrintable(program.retryQuestions()[0]));
        QCOMPARE(documentsIn(program.answeringPipe()), 0);
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
        const auto window = program.show();
        QVERIFY(window);
        waitForTheOfficeAhead(program, waitUntilItAnswers);
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY_WITH_TIMEOUT(program.killedAll(), kOfficeDeadlineMs);

        program.prompts.answer(PromptAnswer::Yes);   // print
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
