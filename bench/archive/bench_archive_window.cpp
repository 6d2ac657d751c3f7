// What the mechanic waits for in the archive window, on archives of growing
// size: the real program under a real X server (a private Xvfb started here,
// Qt on xcb), the click on «Архив» until the archive list has been painted,
// the program's memory with that window open, and each keystroke in the
// window's filter until the list has been repainted. Every run is a fresh
// program (qm_bench_archive_window_child); sizes are interleaved run by run,
// so the machine's noise falls on all alike.
//
//   qm_bench_archive_window [--with-million] [--new-layout] [--runs N] [--before <older child>]

#include "input/xvfb_display.h"
#include "support/bench_archive_file.h"
#include "support/bench_settings.h"
#include "support/bench_timing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

using namespace Qt::StringLiterals;
using qm::bench::Samples;

namespace {

struct ArchiveSize {
    int records = 0;
    QString folder;
    Samples paint, keys, residentBefore, peak, fileRead;
};

int recordLength(const QString &folder)
{
    QFile file(folder + u"/QM.dbf"_s);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = file.read(12);
    return prefix.size() == 12 ? qFromLittleEndian<quint16>(prefix.constData() + 10) : 0;
}

// What the machine itself takes to read the archive once from the page cache,
// the floor under anything that looks at every act.
double catMilliseconds(const QString &folder)
{
    QProcess cat;
    cat.setStandardOutputFile(QProcess::nullDevice());
    const qint64 started = qm::bench::monotonicNanoseconds();
    cat.start(u"cat"_s, {folder + u"/QM.dbf"_s});
    if (!cat.waitForFinished(60000) || cat.exitCode() != 0)
        throw std::runtime_error("cat could not read the archive");
    return qm::bench::millisecondsSince(started);
}

// The goals the window is held to, each beside its figure and its limit.
void printGoals(const std::vector<ArchiveSize> &sizes, const std::vector<ArchiveSize> &before)
{
    using qm::bench::printRow;
    std::printf("\n### Goals (default settings; the reference is `cat QM.dbf > /dev/null` from the page cache "
                "and the resident memory before the click)\n\n");
    printRow({u"Records"_s, u"Goal"_s, u"Before"_s, u"Figure"_s, u"Limit"_s, u"Met"_s, u"Reference"_s});
    printRow({u"---:"_s, u"---"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---"_s, u"---:"_s});
    struct Goal {
        int records;
        QString what;
        double limit;
        double (*figure)(const ArchiveSize &);
        bool memory;
    };
    const std::vector<Goal> goals{
        {100000, u"«Архив» click → list painted, median ms"_s, 50,
         [](const ArchiveSize &s) { return s.paint.median(); }, false},
        {1000000, u"«Архив» click → list painted, median ms"_s, 250,
         [](const ArchiveSize &s) { return s.paint.median(); }, false},
        {100000, u"Peak resident after 14 keystrokes, MiB"_s, 45, [](const ArchiveSize &s) { return s.peak.median(); },
         true},
        {1000000, u"Peak resident after 14 keystrokes, MiB"_s, 60, [](const ArchiveSize &s) { return s.peak.median(); },
         true},
        {100000, u"Keystroke → list repainted, median ms"_s, 10, [](const ArchiveSize &s) { return s.keys.median(); },
         false},
        {1000000, u"Keystroke → list repainted, median ms"_s, 60, [](const ArchiveSize &s) { return s.keys.median(); },
         false},
        {1000000, u"Keystroke → list repainted, worst ms"_s, 150, [](const ArchiveSize &s) { return s.keys.max(); },
         false},
    };
    for (const Goal &goal : goals) {
        const auto size = std::find_if(sizes.begin(), sizes.end(),
                                       [&goal](const ArchiveSize &s) { return s.records == goal.records; });
        if (size == sizes.end() || size->keys.empty())
            continue;
        const double figure = goal.figure(*size);
        const auto old = std::find_if(before.begin(), before.end(),
                                      [&goal](const ArchiveSize &s) { return s.records == goal.records; });
        const QString beforeText
            = old == before.end() || old->keys.empty() ? u"—"_s : QString::number(goal.figure(*old), 'f', 1);
        const QString reference = goal.memory ? u"%1 MiB at start-up"_s.arg(size->residentBefore.median(), 0, 'f', 1)
                                              : u"cat %1 ms"_s.arg(size->fileRead.median(), 0, 'f', 1);
        printRow({QString::number(goal.records), goal.what, beforeText, QString::number(figure, 'f', 1),
                  u"≤ %1"_s.arg(goal.limit), figure <= goal.limit ? u"yes"_s : u"**no**"_s, reference});
    }
}

QString programFolderWith(const QTemporaryDir &root, int records, bool newLayout)
{
    const QString folder = root.filePath(QString::number(records));
    QDir().mkpath(folder);
    const QString settings = QStringLiteral(QM_BENCH_PROGRAM_DIR) + u"/Quillmarch.ini"_s;
    QFile shipped(settings);
    if (!shipped.open(QIODevice::ReadOnly))
        throw std::runtime_error("no shipped settings file at " + settings.toStdString() + ": build qm_program_data");
    QFile copy(folder + u"/Quillmarch.ini"_s);
    if (!copy.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the settings file");
    copy.write(shipped.readAll());
    copy.close();
    // No office started ahead: it would compete with the window for the CPU.
    // (A second [System] section would go unread: the first one wins.)
    qm::bench::turnOfficeAheadOff(folder + u"/Quillmarch.ini"_s);
    qm::bench::writeArchiveOfActs(folder, records, newLayout);
    return folder;
}

void runOnce(ArchiveSize &size, const QString &child, const QString &display, bool recorded)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, display);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(child, {size.folder});
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error("the archive window run failed for " + std::to_string(size.records) + " records");
    if (!recorded)
        return;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() != 2)
            continue;
        const double value = fields[1].toDouble();
        if (fields[0] == "paint")
            size.paint.add(value);
        else if (fields[0] == "key")
            size.keys.add(value);
        else if (fields[0] == "rss")
            size.residentBefore.add(value);
        else if (fields[0] == "peak")
            size.peak.add(value);
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const bool withMillion = QCoreApplication::arguments().contains(u"--with-million"_s);
    // The columns a new archive is made with, wider than those of the archives that hold years of acts.
    const bool newLayout = QCoreApplication::arguments().contains(u"--new-layout"_s);
    const int runs = qm::bench::runsArgument(7);
    const QString child = QCoreApplication::applicationDirPath() + u"/qm_bench_archive_window_child"_s;
    // Another build's child (an older commit's) run beside this one, on the same archives, interleaved.
    const QStringList arguments = QCoreApplication::arguments();
    const QString beforeChild = arguments.value(arguments.indexOf(u"--before"_s) + 1);
    const bool withBefore = arguments.contains(u"--before"_s) && !beforeChild.isEmpty();

    QTemporaryDir root;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root.path()));  // Qt wants one, private to the user
    return qm::bench::runReported([&] {
        qm::test::XvfbDisplay display;
        if (!display.start(u"1280x900x24"_s))
            throw std::runtime_error(display.error().toStdString());

        std::vector<ArchiveSize> sizes;
        std::vector<int> counts{1000, 100000};
        if (withMillion)
            counts.push_back(1000000);
        for (int records : counts) {
            std::fprintf(stderr, "archive of %d records...\n", records);
            sizes.push_back({records, programFolderWith(root, records, newLayout), {}, {}, {}, {}, {}});
        }
        std::vector<ArchiveSize> before;
        if (withBefore)
            before = sizes;
        // One unrecorded run of each: the libraries and the files are then in the page cache for all.
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            runOnce(sizes[i], child, display.name(), false);
            if (withBefore)
                runOnce(before[i], beforeChild, display.name(), false);
        }
        for (int run = 0; run < runs; ++run) {
            for (std::size_t i = 0; i < sizes.size(); ++i) {
                runOnce(sizes[i], child, display.name(), true);
                sizes[i].fileRead.add(catMilliseconds(sizes[i].folder));
                if (withBefore)
                    runOnce(before[i], beforeChild, display.name(), true);
            }
        }

        using qm::bench::printRow;
        std::printf("\n### Archive window under Xvfb, QT_QPA_PLATFORM=xcb, %s (%d bytes a record; ms and MiB; "
                    "median of %d runs, "
                    "range in brackets)\n\n",
                    newLayout ? "columns of a new archive" : "columns of an archive grown for years",
                    recordLength(sizes.front().folder), runs);
        printRow({u"Records"_s, u"«Архив» click → list painted"_s, u"Keystroke in the filter → list repainted"_s,
                  u"Resident before the click"_s, u"Peak resident, window open"_s});
        printRow({u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s});
        for (const ArchiveSize &size : sizes) {
            printRow({QString::number(size.records), size.paint.medianText(),
                      size.keys.empty() ? u"no filter"_s : size.keys.medianText(), size.residentBefore.medianText(),
                      size.peak.medianText()});
        }
        for (const ArchiveSize &size : before) {
            printRow({u"%1, before"_s.arg(size.records), size.paint.medianText(),
                      size.keys.empty() ? u"no filter"_s : size.keys.medianText(), size.residentBefore.medianText(),
                      size.peak.medianText()});
        }
        std::printf("\n(keystrokes: %d per run, typed, narrowed and erased back to the full list)\n",
                    int(sizes.front().keys.size() / std::size_t(std::max(runs, 1))));
        printGoals(sizes, before);
    });
}
