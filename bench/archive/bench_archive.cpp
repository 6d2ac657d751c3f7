// Times what the program does with its archive on archives of growing size —
// the count shown at start-up, the archive window's list, recalling and
// deleting the last act, saving one more (without backups, as the first act
// of a day with the day's backup, as a later act of that day) — and reads the same file with an
// independent dBASE reader (GDAL's ogrinfo) for scale. Prints markdown tables
// of medians (with the range of the runs) and ratios from this one run.
//
//   qm_bench_archive [--with-million] [--runs N]

#include "archive/archive_backup.h"
#include "archive/archive_snapshot.h"
#include "archive/archive_table.h"
#include "archive/archived_acts.h"
#include "archive/dbf_archive.h"
#include "common/failure.h"
#include "support/bench_archive_file.h"
#include "support/bench_timing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

#include <cstdio>
#include <stdexcept>

using namespace Qt::StringLiterals;
using qm::bench::Samples;

namespace {

struct SizeResult {
    int records = 0;
    double fileMiB = 0;
    Samples count, listFill, recall, remove, save, saveFirstOfDay, saveLaterInDay, ogrCount, ogrRead, ogrStart;
};

// Runs ogrinfo on the file; its own start-up is measured separately with --version.
void runOgrinfo(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error("ogrinfo failed: " + arguments.join(u' ').toStdString());
}

SizeResult measure(const QString &folder, int size, int runs, const QString &ogrinfo)
{
    SizeResult result;
    result.records = size;
    qm::bench::writeArchiveOfActs(folder, size);
    qm::DbfArchive archive(folder);
    const QString path = archive.filePath();
    result.fileMiB = double(QFileInfo(path).size()) / (1 << 20);

    std::unique_ptr<qm::ArchiveSnapshot> lines;

    result.count = qm::bench::timeRuns(runs, [&] {
        if (qm::CountArchiveRecords(archive) != size)
            throw std::runtime_error("the count disagrees with the archive built");
    });
    result.listFill = qm::bench::timeRuns(
        runs, [&] { lines = qm::FillArchiveList(archive).lines; }, [&] { lines.reset(); });
    lines = qm::FillArchiveList(archive).lines;
    qm::RecalledAct recalled;
    result.recall = qm::bench::timeRuns(
        runs, [&] { recalled = qm::RecallArchivedAct(archive, lines->listed(size - 1)).value_or(qm::RecalledAct()); });
    if (recalled.texts.serialNumber != QString::number(size))
        throw std::runtime_error("recall did not bring back the last act");

    // Each deletion removes the last act; one act is saved back and the list
    // refilled between runs, so every run deletes the last of `size` records.
    result.remove = qm::bench::timeRuns(
        runs,
        [&] {
            if (qm::DeleteSelectedRecord(archive, lines->listed(size - 1)).outcome != qm::DeletionOutcome::Deleted)
                throw std::runtime_error("the deletion found the archive changed");
        },
        [&] {
            qm::bench::saveTypicalAct(archive, size);
            lines = qm::FillArchiveList(archive).lines;
        });
    lines.reset();

    int serial = size;
    result.save = qm::bench::timeRuns(runs, [&] { qm::bench::saveTypicalAct(archive, ++serial); });

    // The same saves with the daily backup, as the program makes them: the
    // copy before the append, once per day. Each first act is on a new day;
    // its copy is removed afterwards, untimed, so the disk does not fill.
    QDate today(2026, 1, 1);
    qm::DbfArchive backedUp(folder, qm::ArchiveBackupPlan{30, [&today] { return today; }});
    const auto saveAsTheProgramDoes = [&] {
        if (const qm::ArchiveBackupResult backup = backedUp.backUpBeforeAppend(); backup.failure)
            throw *backup.failure;
        qm::bench::saveTypicalAct(backedUp, ++serial);
    };
    // Later acts first, each after the day's copy has been written out: the
    // writeback of a copy of hundreds of MiB would otherwise be timed in
    // their syncs.
    saveAsTheProgramDoes();
    ::sync();
    result.saveLaterInDay = qm::bench::timeRuns(runs, saveAsTheProgramDoes);
    const auto nextDay = [&] {
        QFile::remove(backedUp.backupFolder() + u'/' + qm::archiveBackupFileName(today));
        today = today.addDays(1);
        ::sync();
    };
    nextDay();
    result.saveFirstOfDay = qm::bench::timeRuns(runs, saveAsTheProgramDoes, nextDay);
    QDir(backedUp.backupFolder()).removeRecursively();

    if (!ogrinfo.isEmpty()) {
        result.ogrStart = qm::bench::timeRuns(runs, [&] { runOgrinfo(ogrinfo, {u"--version"_s}); });
        result.ogrCount = qm::bench::timeRuns(runs, [&] { runOgrinfo(ogrinfo, {u"-ro"_s, u"-al"_s, u"-so"_s, path}); });
        result.ogrRead = qm::bench::timeRuns(runs, [&] { runOgrinfo(ogrinfo, {u"-ro"_s, u"-al"_s, path}); });
    }
    return result;
}

void printTables(const std::vector<SizeResult> &results, bool withOgrinfo, int runs)
{
    using qm::bench::printRow;
    using qm::bench::ratioText;
    std::printf("\n### Archive operations (ms; median of %d runs, range in brackets)\n\n", runs);
    printRow({u"Records"_s, u"QM.dbf, MiB"_s, u"Count"_s, u"Archive list fill"_s, u"Recall last"_s, u"Delete last"_s,
              u"Save one act"_s});
    printRow({u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s});
    for (const SizeResult &r : results) {
        printRow({QString::number(r.records), QString::number(r.fileMiB, 'f', 1), r.count.medianText(),
                  r.listFill.medianText(), r.recall.medianText(), r.remove.medianText(), r.save.medianText()});
    }

    std::printf("\n### The daily backup: saving with it (ms; median of %d runs, range in brackets)\n\n", runs);
    printRow({u"Records"_s, u"Save, no backups"_s, u"Save, first act of the day (copies the archive)"_s,
              u"Save, later act of the day"_s, u"First act's extra time"_s, u"Later act ÷ no backups"_s});
    printRow({u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s});
    for (const SizeResult &r : results) {
        printRow({QString::number(r.records), r.save.medianText(), r.saveFirstOfDay.medianText(),
                  r.saveLaterInDay.medianText(),
                  QString::number(r.saveFirstOfDay.median() - r.saveLaterInDay.median(), 'f', 1),
                  QString::number(r.saveLaterInDay.median() / r.save.median(), 'f', 2)});
    }

    std::printf("\n### Scale: per record, and against an independent reader\n\n");
    printRow({u"Records"_s, u"Count, ns/record"_s, u"List fill, ns/record"_s, u"Count, MB/s"_s,
              u"ogrinfo start (--version)"_s, u"ogrinfo -so (count)"_s, u"ogrinfo -al (full read)"_s,
              u"ogrinfo full read ÷ our list fill"_s});
    printRow({u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s, u"---:"_s});
    for (const SizeResult &r : results) {
        const double megabytes = r.fileMiB * (1 << 20) / 1e6;
        printRow({QString::number(r.records), QString::number(r.count.median() * 1e6 / r.records, 'f', 0),
                  QString::number(r.listFill.median() * 1e6 / r.records, 'f', 0),
                  QString::number(megabytes / (r.count.median() / 1000), 'f', 0),
                  withOgrinfo ? r.ogrStart.medianText() : u"—"_s, withOgrinfo ? r.ogrCount.medianText() : u"—"_s,
                  withOgrinfo ? r.ogrRead.medianText() : u"—"_s,
                  withOgrinfo ? ratioText(r.ogrRead.median(), r.listFill.median()) : u"—"_s});
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const bool withMillion = arguments.contains(u"--with-million"_s);
    const int runs = qm::bench::runsArgument(7);
    const QString ogrinfo = QStandardPaths::findExecutable(u"ogrinfo"_s);

    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fputs("cannot create a temporary folder\n", stderr);
        return 1;
    }
    return qm::bench::runReported([&] {
        std::vector<SizeResult> results;
        std::vector<int> sizes{1000, 100000};
        if (withMillion)
            sizes.push_back(1000000);
        for (int size : sizes) {
            std::fprintf(stderr, "archive of %d records...\n", size);
            results.push_back(measure(folder.path(), size, runs, ogrinfo));
        }
        printTables(results, !ogrinfo.isEmpty(), runs);
        if (ogrinfo.isEmpty())
            std::printf("\n(ogrinfo not found: install the Debian package gdal-bin for the independent reader)\n");
    });
}
