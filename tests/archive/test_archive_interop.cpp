// Our files against an independent dBASE implementation, Perl's XBase module:
// its dbf_dump reads what we write, and we read what it wrote.

#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "archive_test_helpers.h"
#include "common/windows1251.h"
#include "support/temp_program_folder.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {

class ArchiveInteropTest : public QObject {
    Q_OBJECT

private:
    TempProgramFolder folder_;
    QString archivePath() const { return folder_.filePath(u"QM.dbf"_s); }

    // Live records as dbf_dump prints them, one "|"-separated line each.
    QStringList dumpedByXBase()
    {
        const QString dbfDump = QStandardPaths::findExecutable(u"dbf_dump"_s);
        if (dbfDump.isEmpty())
            return {};
        QProcess process;
        process.start(dbfDump, {u"--fs"_s, u"|"_s, archivePath()});
        if (!process.waitForFinished(30000) || process.exitCode() != 0)
            return {u"dbf_dump failed: "_s + QString::fromLocal8Bit(process.readAllStandardError())};
        return fromWindows1251(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void init()
    {
        if (QStandardPaths::findExecutable(u"dbf_dump"_s).isEmpty())
            QSKIP("dbf_dump (Debian package libdbd-xbase-perl) is not installed");
    }

    void xbaseReadsOurFiles()
    {
        createEmptyArchive(archivePath());
        DbfArchive archive(folder_.path());
        appendRecord(archive,
                     {{u"ACTDATE"_s, u"6.1.2012"_s},
                      {u"MECHNAME"_s, u"Иванов И.И."_s},
                      {u"TYPEKKM"_s, u"ЭКР 2102К"_s},
                      {u"ZAVNUM"_s, u"  0012"_s},
                      {u"GODVYP"_s, u"2005"_s},
                      {u"PRICHINA"_s, u"Замена ЭКЛЗ"_s},
                      {u"E_SOHRAN"_s, true},
                      {u"E_READABLE"_s, false},
                      {u"INN"_s, u"7701234567"_s},
                      {u"EKLZREG"_s, u"123456    "_s},
                      {u"NAMEORG"_s, u"ООО «Ромашка»"_s}});
        appendRecord(archive, {{u"NAMEORG"_s, u"удалённая"_s}});
        appendRecord(archive, {{u"ACTDATE"_s, u"31.12.2012"_s}, {u"TYPEKKM"_s, u" "_s}});
        deleteAt(archive, 1);

        QCOMPARE(dumpedByXBase(),
                 QStringList(
                     {u"6.1.2012|Иванов И.И.|ЭКР 2102К|  0012|2005|Замена ЭКЛЗ|7701234567|123456|ООО «Ромашка»|1|0"_s,
                      u"31.12.2012||||||||||"_s}));
    }

    void weReadXBaseFiles()
    {
        folder_.copyFixture(u"archive/xbase_archive.dbf"_s, u"QM.dbf"_s);
        DbfArchive archive(folder_.path());
        QCOMPARE(CountArchiveRecords(archive), 3);
        QCOMPARE(column(archive, u"nameorg"), QStringList({u"ООО «Ромашка»"_s, u"  с пробелами"_s, u"Последняя"_s}));
        QCOMPARE(column(archive, u"ACTDATE"), QStringList({u"6.1.2012"_s, u"31.12.2012"_s, u"15.3.2013"_s}));
        QCOMPARE(column(archive, u"INN"), QStringList({u"7701234567"_s, u"<null>"_s, u"500100732259"_s}));
        QCOMPARE(column(archive, u"EKLZREG"), QStringList({u"123456"_s, u"<null>"_s, u"9876543210"_s}));
        QCOMPARE(column(archive, u"MECHNAME"), QStringList({u"Иванов И.И."_s, u"<null>"_s, u"Петров П.П."_s}));
        QCOMPARE(column(archive, u"E_SOHRAN"), QStringList({u"false"_s, u"true"_s, u"<null>"_s}));
        QCOMPARE(column(archive, u"E_READABLE"), QStringList({u"true"_s, u"<null>"_s, u"false"_s}));
    }

    void xbaseReadsWhatWeAppendToItsFile()
    {
        folder_.copyFixture(u"archive/xbase_archive.dbf"_s, u"QM.dbf"_s);
        DbfArchive archive(folder_.path());
        appendRecord(archive, {{u"ZAVNUM"_s, u"Ж-1"_s}, {u"E_SOHRAN"_s, true}, {u"NAMEORG"_s, u"Новая"_s}});
        deleteAt(archive, 0);

        const QStringList lines = dumpedByXBase();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(0).startsWith(u"  с пробелами|"));
        QCOMPARE(lines.at(2), u"Новая|||1||||Ж-1|||"_s);
    }
};

}  // namespace qm::test

QTEST_GUILESS_MAIN(qm::test::ArchiveInteropTest)
#include "test_archive_interop.moc"
