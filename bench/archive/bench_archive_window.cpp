// What the mechanic waits for in the archive window, on archives of growing
// size: the real program under a real X server (a private Xvfb started here,
// Qt on xcb), the click on «Архив» until the archive list has been painted,
// the program's memory with that window open, and each keystroke in the
// window's filter until the list has been repainted. Every run is a fresh
// program (qm_bench_archive_window_child); sizes are interleaved run by run,
// so the machine's noise falls on all alike.
//
//   qm_bench_archive_window [--with-million] [--runs N]

#include "input/xvfb_display.h"
#include "support/bench_archive_file.h"
#include "support/bench_settings.h"
#include "support/bench_timing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <stdexcept>

using namespace Qt::StringLiterals;
using qm::bench::Samples;

namespace {

struct ArchiveSize {
    int records = 0;
    QString folder;
    Samples paint, keys, residentBefore, peak;
};

QString programFolderWith(const QTemporaryDir &root, int records)
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
    qm::bench::writeArchiveOfActs(folder, records);
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
    const int runs = qm::bench::runsArgument(7);
    const QString child = QCoreApplication::applicationDirPath() + u"/qm_bench_archive_window_child"_s;

    QTemporaryDir root;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root.path()));   // Qt wants one, private to the user
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
            sizes.push_back({records, programFolderWith(root, records), {}, {}, {}, {}});
        }
        // One unrecorded run of each: the libraries and the files are then in the page cache for all.
        for (ArchiveSize &size : sizes)
            runOnce(size, child, display.name(), false);
        for (int run = 0; run < runs; ++run) {
            for (ArchiveSize &size : sizes)
                runOnce(size, child, display.name(), true);
        }

        using qm::bench::printRow;
        std::printf("\n### Archive window under Xvfb, QT_QPA_PLATFORM=xcb (ms and MiB; median of %d runs, "
                    "range in brackets)\n\n", runs);
        printRow({u"Records"_s, u"«Архив» click → list painted"_s, u"Keystroke in the filter → list repainted"_s,
                  u"Resident before the click"_s, u"Peak resident, window open"_s});
        printRow({u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s});
        for (const ArchiveSize &size : sizes) {
            printRow({QString::number(size.records), size.paint.medianText(),
                      size.keys.empty() ? u"no filter"_s : size.keys.medianText(),
                      size.residentBefore.medianText(), size.peak.medianText()});
        }
        std::printf("\n(keystrokes: %d per run, typed, narrowed and erased back to the full list)\n",
                    int(sizes.front().keys.size() / std::size_t(std::max(runs, 1))));
    });
}
