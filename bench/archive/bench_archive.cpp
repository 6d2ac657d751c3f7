// Times the archive operations the program performs, on archives of growing
// size, and prints the median of several runs of each.
//
//   qm_bench_archive [--with-million]

#include "archive/archive_table.h"
#include "archive/dbf_archive.h"
#include "archive/dbf_header.h"
#include "archive/empty_archive.h"
#include "common/failure.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

void appendAct(qm::Archive &archive, int number)
{
    const auto records = archive.open(qm::ArchiveAccess::Writable);
    records->addNew();
    records->setValue(qm::ArchiveField::ACTDATE, u"6.1.2012"_s);
    records->setValue(qm::ArchiveField::MECHNAME, u"Иванов Иван Иванович"_s);
    records->setValue(qm::ArchiveField::TYPEKKM, u"ЭКР 2102К"_s);
    records->setValue(qm::ArchiveField::ZAVNUM, QString::number(number));
    records->setValue(qm::ArchiveField::PRICHINA, u"Замена ЭКЛЗ"_s);
    records->setValue(qm::ArchiveField::NAMEORG, u"ООО «Ромашка»"_s);
    records->setValue(qm::ArchiveField::E_SOHRAN, true);
    records->update();
    records->close();
}

// Builds an archive of `count` acts in one write (appending them one by one
// would time the disk's sync rate, not the archive); every tenth is deleted.
void buildArchive(const QString &folder, int count)
{
    const QString path = folder + u"/QM.dbf"_s;
    QFile::remove(path);
    qm::createEmptyArchive(path);
    qm::DbfArchive archive(folder);
    appendAct(archive, 0);

    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        throw std::runtime_error("cannot reopen the archive");
    QByteArray bytes = file.readAll();
    const qm::DbfHeader header = qm::parseDbfHeader(bytes, path);
    const QByteArray sample = bytes.mid(header.headerLength, header.recordLength);
    QByteArray records;
    records.reserve(qsizetype(count) * header.recordLength + 1);
    for (int i = 0; i < count; ++i) {
        QByteArray record = sample;
        record[0] = i % 10 == 9 ? qm::kDbfDeletedFlag : qm::kDbfLiveFlag;
        records += record;
    }
    records += qm::kDbfEndOfFile;
    bytes.truncate(header.headerLength);
    qToLittleEndian<quint32>(quint32(count), bytes.data() + 4);
    file.resize(0);
    file.write(bytes + records);
}

double medianMilliseconds(int runs, const std::function<void()> &operation)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        operation();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void benchmark(const QString &folder, int size, int runs)
{
    buildArchive(folder, size);
    qm::DbfArchive archive(folder);
    int live = 0;
    const double count = medianMilliseconds(runs, [&] { live = qm::CountArchiveRecords(archive); });
    const double scan = medianMilliseconds(runs, [&] {
        const auto records = archive.open(qm::ArchiveAccess::ReadOnly);
        qsizetype characters = 0;
        for (; !records->atEnd(); records->moveNext()) {
            characters += records->value(qm::ArchiveField::ACTDATE).toString().size();
            characters += records->value(qm::ArchiveField::ZAVNUM).toString().size();
            characters += records->value(qm::ArchiveField::NAMEORG).toString().size();
            characters += records->value(qm::ArchiveField::PRICHINA).toString().size();
        }
        if (characters == 0)
            throw std::runtime_error("the scan read nothing");
    });
    const double seek = medianMilliseconds(runs, [&] {
        const auto records = archive.open(qm::ArchiveAccess::ReadOnly);
        records->skip(records->recordCount() - 1);
        records->value(qm::ArchiveField::ZAVNUM);
    });
    int appended = 0;
    const double append = medianMilliseconds(runs, [&] { appendAct(archive, ++appended); });
    std::printf("%9d records (%9d live): count %9.3f ms | scan, 4 fields %9.3f ms | seek to last %9.3f ms | "
                "append %8.3f ms\n",
                size, live, count, scan, seek, append);
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const bool withMillion = QCoreApplication::arguments().contains(u"--with-million"_s);
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fputs("cannot create a temporary folder\n", stderr);
        return 1;
    }
    try {
        std::printf("Medians of the runs given, in milliseconds; append includes its two fsyncs.\n");
        benchmark(folder.path(), 1000, 9);
        benchmark(folder.path(), 100000, 7);
        if (withMillion)
            benchmark(folder.path(), 1000000, 5);
    } catch (const qm::Failure &failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
