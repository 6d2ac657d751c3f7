// Start-up to first paint: the program's start-up path with an empty, a
// 1,000-record and a 100,000-record archive, and with 100,000 records and the
// office not started ahead, beside a bare Qt Widgets window started the same
// way. Each start is a new process; the clock runs from just before the spawn
// until the child reports its first paint on a pipe. Kinds are interleaved
// round by round, so the machine's noise falls on all alike; the office a
// start left behind is gone before the next start begins.
//
//   qm_bench_startup [--runs N]     (the platform is the usual QT_QPA_PLATFORM)

#include "archive/empty_archive.h"
#include "common/failure.h"
#include "support/bench_archive_file.h"
#include "support/bench_settings.h"
#include "support/bench_timing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

extern char **environ;

using namespace Qt::StringLiterals;
using qm::bench::Samples;

namespace {

struct StartKind {
    QString label;
    QString executable;
    QString extra;  // the program folder, or the kind of bare window
    bool ours = false;
    Samples total, inProcess, startupSequence;
};

struct ChildTimes {
    double total = 0;
    double inProcess = 0;
    double startupSequence = 0;
};

// Waits until no process runs with this text on its command line: the office
// a start left behind ends with that start, not during the next one.
void waitUntilNoProcessWith(const QString &marker)
{
    const QByteArray needle = marker.toLocal8Bit();
    for (int waited = 0;; waited += 50) {
        bool found = false;
        for (const QString &entry : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile commandLine(u"/proc/%1/cmdline"_s.arg(entry));
            if (entry.front().isDigit() && commandLine.open(QIODevice::ReadOnly)
                && commandLine.readAll().contains(needle))
                found = true;
        }
        if (!found)
            return;
        if (waited > 60000)
            throw std::runtime_error("an office started by the program did not end: " + marker.toStdString());
        ::usleep(50000);
    }
}

ChildTimes startOnce(const StartKind &kind)
{
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    const QByteArray executable = QFile::encodeName(kind.executable);
    const QByteArray fd = QByteArray::number(fds[1]);
    const QByteArray extra = QFile::encodeName(kind.extra);
    std::vector<char *> argv{const_cast<char *>(executable.constData()), const_cast<char *>(fd.constData())};
    if (!kind.extra.isEmpty())
        argv.push_back(const_cast<char *>(extra.constData()));
    argv.push_back(nullptr);

    const qint64 started = qm::bench::monotonicNanoseconds();
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, executable.constData(), nullptr, nullptr, argv.data(), environ);
    ::close(fds[1]);
    if (spawned != 0) {
        ::close(fds[0]);
        throw std::runtime_error("cannot start " + executable.toStdString());
    }
    QByteArray line;
    char buffer[64];
    ssize_t n = 0;
    while (!line.contains('\n') && (n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        line.append(buffer, n);
    ChildTimes times;
    times.total = qm::bench::millisecondsSince(started);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (kind.ours)
        waitUntilNoProcessWith(kind.extra + u"/office-profile"_s);
    const QList<QByteArray> fields = line.trimmed().split(' ');
    if (fields.size() != 2 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the window of " + executable.toStdString() + " did not report its first paint");
    times.inProcess = fields[0].toDouble() / 1e6;
    times.startupSequence = fields[1].toDouble() / 1e6;
    return times;
}

QString programFolderWith(const QTemporaryDir &root, const QString &name, int records, bool officeAhead = true)
{
    const QString folder = root.filePath(name);
    QDir().mkpath(folder);
    const QString settings = QStringLiteral(QM_BENCH_PROGRAM_DIR) + u"/Quillmarch.ini"_s;
    if (!QFile::copy(settings, folder + u"/Quillmarch.ini"_s))
        throw std::runtime_error("no shipped settings file at " + settings.toStdString() + ": build qm_program_data");
    if (!officeAhead)
        qm::bench::turnOfficeAheadOff(folder + u"/Quillmarch.ini"_s);
    if (records == 0)
        qm::createEmptyArchive(folder + u"/QM.dbf"_s);
    else
        qm::bench::writeArchiveOfActs(folder, records);
    return folder;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int runs = qm::bench::runsArgument(15);
    const QString here = QCoreApplication::applicationDirPath();
    QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (platform.isEmpty())
        platform = u"default"_s;

    QTemporaryDir root;
    return qm::bench::runReported([&] {
        std::vector<StartKind> kinds;
        kinds.push_back({u"bare QWidget window"_s, here + u"/qm_bench_bare_window"_s, {}, false, {}, {}, {}});
        kinds.push_back({u"bare window with a label and a line edit"_s,
                         here + u"/qm_bench_bare_window"_s,
                         u"text"_s,
                         false,
                         {},
                         {},
                         {}});
        for (const auto &[label, records] :
             {std::pair{u"Quillmarch, empty archive"_s, 0}, std::pair{u"Quillmarch, 1,000 records"_s, 1000},
              std::pair{u"Quillmarch, 100,000 records"_s, 100000}}) {
            kinds.push_back({label,
                             here + u"/qm_bench_quillmarch_start"_s,
                             programFolderWith(root, QString::number(records), records),
                             true,
                             {},
                             {},
                             {}});
        }
        kinds.push_back({u"Quillmarch, 100,000 records, OfficeAhead=0"_s,
                         here + u"/qm_bench_quillmarch_start"_s,
                         programFolderWith(root, u"100000-office-ahead-off"_s, 100000, false),
                         true,
                         {},
                         {},
                         {}});
        // One untimed start of each: the libraries and files are then in the page cache for all.
        for (const StartKind &kind : kinds)
            startOnce(kind);
        for (int round = 0; round < runs; ++round) {
            for (StartKind &kind : kinds) {
                const ChildTimes times = startOnce(kind);
                kind.total.add(times.total);
                kind.inProcess.add(times.inProcess);
                kind.startupSequence.add(times.startupSequence);
            }
        }

        using qm::bench::printRow;
        std::printf(
            "\n### Start-up to first paint, QT_QPA_PLATFORM=%s (ms; median of %d starts, range in brackets)\n\n",
            platform.toUtf8().constData(), runs);
        printRow({u"Window"_s, u"Spawn → first paint"_s, u"main() → first paint"_s, u"Start-up sequence"_s,
                  u"÷ bare window"_s});
        printRow({u"---"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s});
        const double bare = kinds.front().total.median();
        for (const StartKind &kind : kinds) {
            printRow({kind.label, kind.total.medianText(), kind.inProcess.medianText(),
                      kind.ours ? kind.startupSequence.medianText() : u"—"_s,
                      qm::bench::ratioText(kind.total.median(), bare)});
        }
        // The two 100,000-record kinds: the office started ahead (the default) and not.
        const StartKind &aheadOn = kinds[kinds.size() - 2];
        const StartKind &aheadOff = kinds.back();
        std::printf("\nSpawn → first paint with 100,000 records, office ahead on ÷ off: %.3f (goal ≤ 1.05).\n",
                    aheadOn.total.median() / aheadOff.total.median());
    });
}
