// Writes the seed tables of the archive corpora into a folder, through the
// real archive module: an empty archive, one with a few Cyrillic acts and a
// deleted one, and the same with the tail an interrupted append leaves.
//
//   qm_fuzz_seed_archives <folder>

#include "archive/archive_table.h"
#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "common/failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <utility>

using namespace Qt::StringLiterals;
using namespace qm;

namespace {

struct Act {
    QString date, mechanic, model, serial, year, reason, inn, unit, customer;
    bool kept, readable;
};

void append(Archive &archive, const Act &act)
{
    using namespace ArchiveField;
    const auto records = archive.open(ArchiveAccess::Writable);
    records->addNew();
    const std::pair<QStringView, QVariant> values[]
        = {{ACTDATE, act.date},  {MECHNAME, act.mechanic},  {TYPEKKM, act.model},
           {ZAVNUM, act.serial}, {GODVYP, act.year},        {PRICHINA, act.reason},
           {INN, act.inn},       {EKLZREG, act.unit},       {NAMEORG, act.customer},
           {E_SOHRAN, act.kept}, {E_READABLE, act.readable}};
    for (const auto &[name, value] : values)
        records->setValue(name, value);
    records->update();
    records->close();
}

void copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw Failure(FailureCode::PathFileAccessError, u"Не удалось скопировать %1 в %2"_s.arg(from, to));
}

void writeSeeds(const QString &folder)
{
    const QString work = folder + u"/work"_s;
    QDir(work).removeRecursively();
    QDir().mkpath(work);
    const QString table = work + u"/QM.dbf"_s;

    createEmptyArchive(table);
    copyFile(table, folder + u"/empty_archive.dbf"_s);

    DbfArchive archive(work);
    append(archive,
           {u"01.02.2024"_s, u"Иванов И.И."_s, u"ЭЛВЕС-МИКРО-К"_s, u"00123456"_s, u"2004"_s, u"Заполнение ЭКЛЗ"_s,
            u"7701234567"_s, u"1234567890"_s, u"ООО «Ромашка»"_s, true, true});
    append(archive,
           {u"15.03.2024"_s, u" Петров С.А."_s, u"Меркурий-115Ф"_s, u"  000777"_s, u"2010"_s, u"Неисправность ЭКЛЗ"_s,
            u""_s, u"0987654321"_s, u"ИП Сидорова Ё.Ю."_s, false, true});
    append(archive,
           {u"29.02.2024"_s, u"Сидоров В.Н."_s, u"ШТРИХ-М-ФР-К"_s, u"12"_s, u"1999"_s,
            u"Замена блока фискальной памяти"_s, u"500100732259"_s, u""_s, u"№ 5"_s, false, false});
    {
        const auto records = archive.open(ArchiveAccess::Writable);
        records->moveNext();
        records->deleteCurrent();
        records->update();
        records->close();
    }
    copyFile(table, folder + u"/three_acts_one_deleted.dbf"_s);

    // An append cut off before its header update: half a record, no end mark.
    QFile torn(folder + u"/torn_append_tail.dbf"_s);
    QFile source(table);
    if (!source.open(QIODevice::ReadOnly) || !torn.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Failure(FailureCode::PathFileAccessError, u"Не удалось записать %1"_s.arg(torn.fileName()));
    QByteArray bytes = source.readAll();
    bytes.chop(1);
    bytes += " 02.04.2024Kuznetsov";
    torn.write(bytes);
    torn.close();
    QDir(work).removeRecursively();
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: qm_fuzz_seed_archives <folder>\n", stderr);
        return 2;
    }
    try {
        writeSeeds(arguments.at(1));
    } catch (const Failure &failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
