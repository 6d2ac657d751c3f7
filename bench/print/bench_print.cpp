// "Печатать" against the real LibreOffice Calc (headless, a private profile),
// clicked in the real main window: from the click to the copies question and
// to the workbook made visible, with the office cold (fresh profile, no office
// running), warm (the profile exists, no office running), already running
// (the next act of the same session) and started ahead by the window after its
// first paint and given 5 s (in a new process each time, as the first act of
// the day is); the office's start, the template load and the
// act's 37 cell writes alone; what starting the office ahead holds the
// window's thread; and the peak memory of this process. The print question is
// answered No; the act is archived.
//
//   qm_bench_print [--runs N]

#include "app/main_window/startup.h"
#include "archive/archive_table.h"
#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "common/failure.h"
#include "input/keyboard_layout.h"
#include "print/timed_spreadsheet.h"
#include "support/bench_settings.h"
#include "support/bench_timing.h"
#include "support/scripted_prompts.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <stdexcept>

using namespace Qt::StringLiterals;
using qm::bench::Samples;

namespace {

class NoKeyboardLayout final : public qm::KeyboardLayout {
public:
    QString activeLayoutId() override { return {}; }
    bool offersRussian() override { return false; }
    void activateNextLayout() override {}
};

struct PrintSamples {
    Samples toQuestion, toVisible, wholeClick, startInstance, loadTemplate, cellWrites, pdfExport;
};

// What the mechanic waits for when the office dies under «Печатать».
struct DeathSamples {
    Samples killedInUse, killedWhileStarting;
};

// The goals this benchmark is held to.
constexpr double kNextActGoalMs = 80;
constexpr double kFirstOverNextGoal = 1.2;
constexpr double kDeathNoticedGoalMs = 2000;

void killProcessesWith(const QString &marker);

// The office started ahead is given this long before the first click.
constexpr int kAheadHeadStartMs = 5000;

QList<qint64> processesWith(const QString &commandLineMarker)
{
    QList<qint64> found;
    for (const QString &entry : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        QFile commandLine(u"/proc/%1/cmdline"_s.arg(entry));
        // Not this process: the first-act child has the profile among its arguments.
        if (isPid && pid != QCoreApplication::applicationPid() && commandLine.open(QIODevice::ReadOnly)
            && QString::fromUtf8(commandLine.readAll()).contains(commandLineMarker))
            found << pid;
    }
    return found;
}

void killProcessesWith(const QString &marker)
{
    for (const qint64 pid : processesWith(marker))
        ::kill(pid_t(pid), SIGKILL);
}

// Ends the office we started on this profile and waits until it is gone.
void shutDownOffice(qm::bench::TimedSpreadsheet &office, const QString &profileDir)
{
    if (office.lastOffice()) {
        try {
            office.lastOffice()->desktop->terminate();
        } catch (const css::uno::Exception &) {
            // The bridge going away under the call is the office terminating.
        }
    }
    const qint64 start = qm::bench::monotonicNanoseconds();
    const qsizetype running = processesWith(profileDir).size();
    for (int waited = 0; !processesWith(profileDir).isEmpty(); waited += 100) {
        if (waited > 30000) {
            // Only our own office processes: found by the private profile on their command line.
            for (const qint64 pid : processesWith(profileDir))
                ::kill(pid_t(pid), SIGKILL);
        }
        QThread::msleep(100);
    }
    std::fprintf(stderr, "  %lld office process(es) on the profile ended in %.0f ms\n", static_cast<long long>(running),
                 qm::bench::millisecondsSince(start));
}

class PrintBench {
public:
    PrintBench(const QString &programFolder, qm::bench::TimedSpreadsheet &office)
        : archive_(programFolder), office_(office)
    {
        services_.programFolder = programFolder;
        services_.prompts = &prompts_;
        services_.keyboardLayout = &keyboard_;
        services_.spreadsheet = &office_;
        services_.archive = &archive_;
        prompts_.whileMessageShown = [this](const qm::MessageRequest &request) {
            if (request.title == u"Sheetsmith"_s || request.text.endsWith(u"Повторить ?"_s))
                questionAtNs_ = qm::bench::monotonicNanoseconds();
        };
        window_ = qm::startMainWindow(services_);
        if (!window_)
            throw std::runtime_error("the main window did not start");
        window_->show();
        fill();
    }

    void click(PrintSamples &samples)
    {
        const int before = qm::CountArchiveRecords(archive_);
        const std::int64_t start = clickPrint();
        const double whole = qm::bench::millisecondsSince(start);
        const qm::bench::OfficeTimes times = office_.takeTimes();

        if (prompts_.messages.size() != 1 || qm::CountArchiveRecords(archive_) != before + 1 || times.visibleAtNs == 0
            || questionAtNs_ == 0 || times.cellCount != 37) {
            const QString shown = prompts_.messages.isEmpty() ? QString() : prompts_.messages.constLast().text;
            throw std::runtime_error("the print did not complete once: " + shown.toStdString());
        }
        samples.toQuestion.add(double(questionAtNs_ - start) / 1e6);
        samples.toVisible.add(double(times.visibleAtNs - start) / 1e6);
        samples.wholeClick.add(whole);
        samples.startInstance.add(times.startInstance);
        samples.loadTemplate.add(times.loadTemplate);
        samples.cellWrites.add(times.cellWrites);
        samples.pdfExport.add(times.pdfExport);
    }

    // A click whose office dies under it: from the click to the failure
    // message with "Повторить ?", answered No. Nothing is archived.
    void clickToFailure(Samples &toFailure)
    {
        const int before = qm::CountArchiveRecords(archive_);
        const std::int64_t start = clickPrint();
        office_.takeTimes();
        if (prompts_.messages.size() != 1 || !prompts_.messages[0].text.endsWith(u"Повторить ?"_s)
            || qm::CountArchiveRecords(archive_) != before || questionAtNs_ == 0)
            throw std::runtime_error("the office's death was not reported once");
        std::fprintf(stderr, "  %s\n", qPrintable(prompts_.messages[0].text.section(u'\r', 0, 0)));
        toFailure.add(double(questionAtNs_ - start) / 1e6);
    }

private:
    // Clicks «Печатать», the print question to be answered No; when the click began.
    std::int64_t clickPrint()
    {
        prompts_.messages.clear();
        prompts_.answer(qm::PromptAnswer::No);
        questionAtNs_ = 0;
        auto *button = window_->findChild<QPushButton *>(u"bCreateAct"_s);
        const std::int64_t start = qm::bench::monotonicNanoseconds();
        button->click();
        return start;
    }

    void fill()
    {
        const auto text = [this](const char *name, const QString &value) {
            window_->findChild<QLineEdit *>(QString::fromLatin1(name))->setText(value);
        };
        text("txtMIFNS", u"12"_s);
        text("txtNameOrg", u"ООО «Ромашка»"_s);
        text("txtINN", u"7701234560"_s);
        text("txtZavNum", u"0123456"_s);
        text("txtGodVyp", u"2019"_s);
        text("txtEKLZ", u"0007123456"_s);
        for (const char *list : {"cmbNameKKM", "cmbVidOp", "cmbTech"})
            window_->findChild<QComboBox *>(QString::fromLatin1(list))->setCurrentIndex(0);
    }

    qm::test::ScriptedPrompts prompts_;
    NoKeyboardLayout keyboard_;
    qm::DbfArchive archive_;
    qm::bench::TimedSpreadsheet &office_;
    qm::MainWindowServices services_;
    std::unique_ptr<qm::Form1> window_;
    std::int64_t questionAtNs_ = 0;
};

// Lets the window's event loop run, as the mechanic typing would.
void processEventsFor(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// A program folder with the shipped template and settings, and an empty
// archive; the settings say whether the office is started ahead.
QString programFolderIn(const QTemporaryDir &work, const QString &name, bool officeAhead)
{
    const QString folder = work.filePath(name);
    QDir().mkpath(folder);
    for (const QString &file : {u"Quillmarch.ini"_s, u"Quillmarch.xls"_s}) {
        const QString shipped = QStringLiteral(QM_BENCH_PROGRAM_DIR) + u'/' + file;
        if (!QFile::copy(shipped, folder + u'/' + file))
            throw std::runtime_error("missing " + shipped.toStdString() + ": build qm_program_data");
    }
    if (!officeAhead)
        qm::bench::turnOfficeAheadOff(folder + u"/Quillmarch.ini"_s);
    qm::createEmptyArchive(folder + u"/QM.dbf"_s);
    return folder;
}

void printTables(const PrintSamples &cold, const PrintSamples &warm, const PrintSamples &running,
                 const PrintSamples &ahead, const DeathSamples &deaths, const Samples &aheadCalls, int runs,
                 double peakAfterStart, double peakAfterPrints)
{
    using qm::bench::printRow;
    using qm::bench::ratioText;
    std::printf("\n### «Печатать» with LibreOffice Calc, headless (ms; median of %d runs, range in brackets)\n\n",
                runs);
    printRow({u"Office"_s, u"Click → copies question"_s, u"Click → workbook visible"_s, u"Office start"_s,
              u"Template → new workbook"_s, u"37 cell writes"_s, u"PDF copy"_s,
              u"Whole click (incl. archive save and PDF)"_s});
    printRow({u"---"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s});
    for (const auto &[label, samples] :
         {std::pair{u"cold: fresh profile, no office running"_s, &cold},
          std::pair{u"warm: profile exists, no office running"_s, &warm},
          std::pair{u"office already running (next act)"_s, &running},
          std::pair{u"started ahead after the first paint, given 5 s (first act)"_s, &ahead}}) {
        printRow({label, samples->toQuestion.medianText(), samples->toVisible.medianText(),
                  samples->startInstance.medianText(), samples->loadTemplate.medianText(),
                  samples->cellWrites.medianText(), samples->pdfExport.medianText(), samples->wholeClick.medianText()});
    }
    std::printf("\nGoals (click → copies question, default settings, office started ahead):\n\n");
    printRow({u"Measure"_s, u"Figure"_s, u"Goal"_s, u"Met"_s});
    printRow({u"---"_s, u"---:"_s, u"---:"_s, u"---"_s});
    const double next = running.toQuestion.median();
    const double firstOverNext = ahead.toQuestion.median() / next;
    printRow({u"Next act, office running"_s, running.toQuestion.medianText() + u" ms"_s,
              u"≤ %1 ms"_s.arg(kNextActGoalMs), next <= kNextActGoalMs ? u"yes"_s : u"no"_s});
    printRow(
        {u"First act, office started ahead and given 5 s"_s,
         u"%1 ms = %2 × next act"_s.arg(ahead.toQuestion.medianText()).arg(firstOverNext, 0, 'f', 2),
         u"≤ %1 × %2 = %3 ms"_s.arg(kFirstOverNextGoal).arg(next, 0, 'f', 1).arg(kFirstOverNextGoal * next, 0, 'f', 1),
         firstOverNext <= kFirstOverNextGoal ? u"yes"_s : u"no"_s});
    printRow({u"Office killed under «Печатать» → failure message"_s, deaths.killedInUse.medianText() + u" ms"_s,
              u"≤ %1 ms"_s.arg(kDeathNoticedGoalMs),
              deaths.killedInUse.median() <= kDeathNoticedGoalMs ? u"yes"_s : u"no"_s});
    printRow({u"Office killed while it starts → failure message"_s, deaths.killedWhileStarting.medianText() + u" ms"_s,
              u"≤ %1 ms"_s.arg(kDeathNoticedGoalMs),
              deaths.killedWhileStarting.median() <= kDeathNoticedGoalMs ? u"yes"_s : u"no"_s});
    std::printf("\nWarm ÷ started ahead: %s.\n",
                ratioText(warm.toQuestion.median(), ahead.toQuestion.median()).toUtf8().constData());
    std::printf("Starting the office ahead held the window's thread for %s ms.\n",
                aheadCalls.medianText().toUtf8().constData());
    std::printf("Cold ÷ warm click→visible: %s; warm ÷ running: %s. One cell write: %.2f ms (running office).\n",
                ratioText(cold.toVisible.median(), warm.toVisible.median()).toUtf8().constData(),
                ratioText(warm.toVisible.median(), running.toVisible.median()).toUtf8().constData(),
                running.cellWrites.median() / 37);
    std::printf("Peak resident memory of our process (VmHWM): %.1f MiB after start-up, %.1f MiB after %d prints.\n",
                peakAfterStart, peakAfterPrints, 3 * runs);
}

// The first act of a new program process on an existing profile, as the
// mechanic's first act of the day is: the window starts the office after its
// first paint, the office gets 5 s, then comes the click. Run in a process of
// its own, so that nothing of the office's runtime is set up before the click.
// Prints one line of times in milliseconds for the parent.
int runAheadChild(const QString &programFolder, const QString &profile)
{
    return qm::bench::runReported([&] {
        qm::LibreOfficeOptions options;
        options.headless = true;
        options.profileDir = profile;
        PrintSamples sample;
        qm::bench::TimedSpreadsheet office(options);
        PrintBench bench(programFolder, office);
        const QDeadlineTimer painted(60000);
        while (office.aheadCalls().empty() && !painted.hasExpired())
            processEventsFor(10);
        if (office.aheadCalls().empty())
            throw std::runtime_error("the window did not start the office ahead");
        processEventsFor(kAheadHeadStartMs);
        bench.click(sample);
        shutDownOffice(office, profile);
        std::printf("%f %f %f %f %f %f %f %f\n", sample.toQuestion.median(), sample.toVisible.median(),
                    sample.startInstance.median(), sample.loadTemplate.median(), sample.cellWrites.median(),
                    sample.wholeClick.median(), office.aheadCalls().median(), sample.pdfExport.median());
    });
}

// Runs the child above and adds its times to the samples.
void timeAheadInChild(const QString &programFolder, const QString &profile, PrintSamples &ahead, Samples &aheadCalls)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {u"--ahead-child"_s, programFolder, profile});
    if (!child.waitForFinished(180000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        throw std::runtime_error("the first-act child failed");
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 8)
        throw std::runtime_error("the first-act child printed no times");
    ahead.toQuestion.add(fields[0].toDouble());
    ahead.toVisible.add(fields[1].toDouble());
    ahead.startInstance.add(fields[2].toDouble());
    ahead.loadTemplate.add(fields[3].toDouble());
    ahead.cellWrites.add(fields[4].toDouble());
    ahead.wholeClick.add(fields[5].toDouble());
    aheadCalls.add(fields[6].toDouble());
    ahead.pdfExport.add(fields[7].toDouble());
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--ahead-child")
        return runAheadChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    const int runs = qm::bench::runsArgument(5);

    QTemporaryDir work;
    return qm::bench::runReported([&] {
        const QString programFolder = programFolderIn(work, u"program"_s, false);
        const QString aheadFolder = programFolderIn(work, u"program-ahead"_s, true);

        PrintSamples cold, warm, running, ahead;
        DeathSamples deaths;
        // An office that comes up as a process and is killed before it answers.
        const QString dying = work.filePath(u"dying-soffice"_s);
        {
            QFile script(dying);
            if (!script.open(QIODevice::WriteOnly))
                throw std::runtime_error("cannot write the dying launcher");
            script.write("#!/bin/sh\nsleep 0.3\nkill -9 $$\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        Samples aheadCalls;
        double peakAfterStart = 0;
        for (int round = 0; round < runs; ++round) {
            const QString profile = work.filePath(u"profile-%1"_s.arg(round));
            qm::LibreOfficeOptions options;
            options.headless = true;
            options.profileDir = profile;
            {
                qm::bench::TimedSpreadsheet office(options);
                PrintBench bench(programFolder, office);
                if (round == 0)
                    peakAfterStart = qm::bench::peakResidentMiB();
                std::fprintf(stderr, "print round %d of %d...\n", round + 1, runs);
                bench.click(cold);
                bench.click(running);
                shutDownOffice(office, profile);
                bench.click(warm);
                // Last: an office killed leaves its profile to be recovered by the next start.
                office.beforeNextTemplate = [profile] { killProcessesWith(profile); };
                bench.clickToFailure(deaths.killedInUse);
                shutDownOffice(office, profile);
            }
            {
                qm::LibreOfficeOptions dyingOptions = options;
                dyingOptions.sofficePath = dying;
                qm::bench::TimedSpreadsheet office(dyingOptions);
                PrintBench bench(programFolder, office);
                bench.clickToFailure(deaths.killedWhileStarting);
            }
            timeAheadInChild(aheadFolder, profile, ahead, aheadCalls);
        }
        printTables(cold, warm, running, ahead, deaths, aheadCalls, runs, peakAfterStart, qm::bench::peakResidentMiB());
    });
}
