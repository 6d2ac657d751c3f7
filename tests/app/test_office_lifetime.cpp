// No office the program started outlives it holding nothing: the program run
// in a process of its own (this executable with --program), with the real
// LibreOffice (headless, a private profile) and the real watchdog (the built
// program), killed outright at fixed moments or sent SIGTERM or SIGHUP. An act
// shown, and an office the user had running, stay.

#include "../document/uno/office_probe.h"
#include "app/main_window/form1.h"
#include "app/main_window/startup.h"
#include "app/program/termination_signals.h"
#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "document/uno/libreoffice_calc.h"
#include "document/uno/office_launch.h"
#include "support/fake_keyboard_layout.h"
#include "support/sample_settings.h"
#include "support/scripted_prompts.h"
#include "support/temp_program_folder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

// Generous: these only bound a hang on a loaded machine.
constexpr int kDeadlineMs = 60000;

const QString kOrganisation = u"ООО «Долговечность»"_s;

QString programFolderIn(const QString &work)
{
    return work + u"/program"_s;
}
QString profileIn(const QString &work)
{
    return work + u"/profile"_s;
}

// --- The program's side, in the child process -------------------------------

void report(const char *what)
{
    std::printf("%s\n", what);
    std::fflush(stdout);
}

// scenario: "wait" (the window, the office started ahead), "early" (a print
// that fails filling the act, «Нет» to the retry), "act" (an act printed and
// shown), "early-exit" («Выход» after "early"); "-bare" runs without the
// watchdog, so that only the program itself can end its office.
int runProgram(const QString &work, QString scenario)
{
    const bool watchdog = !scenario.endsWith(u"-bare"_s);
    scenario.remove(u"-bare"_s);
    LibreOfficeOptions options;
    options.sofficePath = work + u"/soffice"_s;
    options.headless = true;
    options.profileDir = profileIn(work);
    if (watchdog)
        options.watchdogProgram = QStringLiteral(QM_BUILT_PROGRAM_DIR) + u"/Quillmarch"_s;
    const auto office = makeLibreOfficeCalc(options);
    endOfficeOnTerminationSignals(*office);

    ScriptedPrompts prompts;
    FakeKeyboardLayout layout;
    DbfArchive archive(programFolderIn(work));
    MainWindowServices services;
    services.programFolder = programFolderIn(work);
    services.prompts = &prompts;
    services.keyboardLayout = &layout;
    services.spreadsheet = office.get();
    services.archive = &archive;
    const auto window = startMainWindow(services);
    if (!window)
        return 1;
    window->actControls().txtNameOrg->setText(kOrganisation);
    window->actControls().cmbVidOp->setCurrentIndex(1);
    window->show();
    if (scenario != u"wait"_s) {
        // After the office started ahead came up, as a mechanic's first act does.
        QTimer::singleShot(0, window.get(), [&] {
            prompts.answer(PromptAnswer::No);  // the retry, or the print question
            QTest::mouseClick(window->findChild<QPushButton *>(u"bCreateAct"_s), Qt::LeftButton);
            report(scenario == u"act"_s ? "act shown" : "ended early");
            if (scenario == u"early-exit"_s)
                QTest::mouseClick(window->findChild<QPushButton *>(u"bExit"_s), Qt::LeftButton);
        });
    }
    return QApplication::exec();
}

// --- The test's side ----------------------------------------------------------

// One run of the program in a child process, on a work folder of its own.
struct Child {
    // A scenario "early…" runs on a template whose first cell is refused.
    Child(const QString &workFolder, const QString &scenario) : work(workFolder)
    {
        if (!writeScript(work + u"/soffice"_s,
                         QStringLiteral("#!/bin/sh\necho $$ >> '%1/launches'\nexec '%2/soffice' \"$@\"\n")
                             .arg(work, QStringLiteral(QM_LIBREOFFICE_PROGRAM_DIR))
                             .toLocal8Bit()))
            qFatal("cannot write the launcher");

        const QString folder = programFolderIn(work);
        QDir().mkpath(folder);
        QFile settings(folder + u"/Quillmarch.ini"_s);
        if (settings.open(QIODevice::WriteOnly))
            settings.write(sampleSettings(1).toLatin1());
        createEmptyArchive(folder + u"/QM.dbf"_s);
        if (scenario.startsWith(u"early"_s)) {
            QFile copy(folder + u"/Quillmarch.xls"_s);
            if (copy.open(QIODevice::WriteOnly))
                copy.write(templateWithProtectedActSheet());
        } else {
            QFile::copy(QStringLiteral(QM_BUILT_PROGRAM_DIR) + u"/Quillmarch.xls"_s, folder + u"/Quillmarch.xls"_s);
        }
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QCoreApplication::applicationFilePath(), {u"--program"_s, work, scenario});
    }

    ~Child()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(kDeadlineMs);
        }
        // Whatever the case left running goes, so the next one starts clean.
        if (!QTest::qWaitFor([this] { return killedAllOffices(profileIn(work)); }, kDeadlineMs))
            qWarning("office processes on %s did not end", qPrintable(profileIn(work)));
    }

    bool saw(const QByteArray &line)
    {
        return QTest::qWaitFor(
            [&] {
                process.waitForReadyRead(100);
                output += process.readAllStandardOutput();
                return output.split('\n').contains(line);
            },
            kDeadlineMs);
    }

    // waitForFinished() answers false for a process that has already ended,
    // as a program told to leave may have while its last line was being read.
    bool ended() { return process.state() == QProcess::NotRunning || process.waitForFinished(kDeadlineMs); }

    bool launchedAnOffice() const { return QFileInfo::exists(work + u"/launches"_s); }

    QString answeringPipe() const { return qm::test::answeringPipe(profileIn(work)); }

    bool officeRunning() const { return !officeProcesses(profileIn(work)).isEmpty(); }
    // The watchdogs: the built program run with an office's pipe name.
    QList<qint64> watchdogs() const
    {
        QList<qint64> found;
        for (const qint64 pid : officeProcesses(u"--office-watchdog"_s)) {
            QFile commandLine(u"/proc/%1/cmdline"_s.arg(pid));
            if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains("quillmarch_"))
                found << pid;
        }
        return found;
    }

    QString work;
    QProcess process;
    QByteArray output;
};

}  // namespace

class OfficeLifetimeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(work_.emplace().isValid()); }
    void cleanup() { work_.reset(); }

    // Killed outright, only the watchdog can end the office; a termination
    // signal to a program run without one ("-bare"), only the program itself.
    void endedProgramLeavesNoOfficeHoldingNothing_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("untilItAnswers");
        QTest::newRow("killed while the office starts") << u"wait"_s << int(SIGKILL) << false;
        QTest::newRow("killed once it answers") << u"wait"_s << int(SIGKILL) << true;
        QTest::newRow("killed after a print ended early") << u"early"_s << int(SIGKILL) << false;
        QTest::newRow("SIGTERM once the office answers") << u"wait-bare"_s << int(SIGTERM) << true;
        QTest::newRow("SIGHUP after a print ended early") << u"early-bare"_s << int(SIGHUP) << true;
    }

    void endedProgramLeavesNoOfficeHoldingNothing()
    {
        QFETCH(QString, scenario);
        QFETCH(int, signal);
        QFETCH(bool, untilItAnswers);
        Child child(work_->path(), scenario);
        if (scenario.startsWith(u"early"_s))
            QVERIFY(child.saw("ended early"));
        else
            QTRY_VERIFY_WITH_TIMEOUT(child.launchedAnOffice(), kDeadlineMs);
        if (untilItAnswers)
            QTRY_VERIFY_WITH_TIMEOUT(!child.answeringPipe().isEmpty(), kDeadlineMs);
        QVERIFY(child.officeRunning());

        ::kill(pid_t(child.process.processId()), signal);
        QVERIFY(child.ended());
        QCOMPARE(child.process.exitStatus(), QProcess::CrashExit);

        QTRY_VERIFY_WITH_TIMEOUT(!child.officeRunning(), kDeadlineMs);
    }

    // The act shown is the mechanic's: killed or ended by a signal, the
    // program leaves it, and its office, running.
    void shownActOutlivesTheProgram_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGKILL") << int(SIGKILL);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void shownActOutlivesTheProgram()
    {
        QFETCH(int, signal);
        Child child(work_->path(), u"act"_s);
        QVERIFY(child.saw("act shown"));
        const QString pipe = child.answeringPipe();
        QVERIFY(!pipe.isEmpty());

        ::kill(pid_t(child.process.processId()), signal);
        QVERIFY(child.ended());
        QTRY_VERIFY_WITH_TIMEOUT(child.watchdogs().isEmpty(), kDeadlineMs);

        QVERIFY(child.officeRunning());
        QCOMPARE(documentsIn(pipe), 1);
    }

    // The program only connected to the office the user had running: neither
    // «Выход» nor the watchdog ends it, even with nothing open in it.
    void usersOwnOfficeIsNeverEnded_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::newRow("«Выход»") << u"early-exit"_s;
        QTest::newRow("killed outright") << u"early"_s;
    }

    void usersOwnOfficeIsNeverEnded()
    {
        QFETCH(QString, scenario);
        const QString usersPipe = u"users_office_%1"_s.arg(QCoreApplication::applicationPid());
        qint64 users = 0;
        QVERIFY(
            QProcess::startDetached(QStringLiteral(QM_LIBREOFFICE_PROGRAM_DIR) + u"/soffice"_s,
                                    {u"--headless"_s, u"--invisible"_s, u"--nologo"_s, u"--norestore"_s,
                                     u"-env:UserInstallation=%1"_s.arg(
                                         QUrl::fromLocalFile(profileIn(work_->path())).toString(QUrl::FullyEncoded)),
                                     u"--accept=pipe,name=%1;urp;StarOffice.ComponentContext"_s.arg(usersPipe)},
                                    QString(), &users));
        QTRY_VERIFY_WITH_TIMEOUT(calc::connectIfAnswering(usersPipe).has_value(), kDeadlineMs);

        Child child(work_->path(), scenario);
        QVERIFY(child.saw("ended early"));
        if (scenario == u"early"_s)
            child.process.kill();
        QVERIFY(child.ended());
        QTRY_VERIFY_WITH_TIMEOUT(child.watchdogs().isEmpty(), kDeadlineMs);

        QVERIFY(calc::connectIfAnswering(usersPipe).has_value());
        // The workbook the failed print made there was closed all the same.
        QCOMPARE(documentsIn(usersPipe), 0);
    }

private:
    std::optional<QTemporaryDir> work_;
};

}  // namespace qm::test

int main(int argc, char *argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--program") == 0) {
        QApplication application(argc, argv);
        return qm::test::runProgram(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QApplication application(argc, argv);
    qm::test::OfficeLifetimeTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_office_lifetime.moc"
