// The daily backups as a mechanic lives with them: weeks of work through the
// real main window and print command on an injected clock, a damaged or lost
// archive restored at start-up, two workstations on one folder, a full disk.

#include "act_saver_process.h"
#include "app/archive_window/form2.h"
#include "app/main_window/form1.h"
#include "app/main_window/startup.h"
#include "app/program/desktop_platform.h"
#include "archive/archive_backup.h"
#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "archive/file_calls.h"
#include "archive_contents.h"
#include "archive_test_fixture.h"
#include "archive_test_helpers.h"
#include "numbered_act.h"
#include "support/main_window_harness.h"

#include <QDir>
#include <QListView>
#include <QTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

// One workstation: a program folder with settings, a template and an empty
// archive, and the real main window on it, its clock in the test's hand.
struct Workstation : MainWindowHarness {
    explicit Workstation(const QString &moreSettings = {})
        : MainWindowHarness(
            HarnessOptions().withSettings(sampleSettings(1) + moreSettings).withTemplate(ProgramTemplate::Dummy))
    {
        services.now = [this] { return QDateTime(today, QTime(9, 30)); };
    }

    // The archive as the program opens it, backing itself up on the test's day.
    std::unique_ptr<Form1> start()
    {
        programArchive = makeProgramArchive(path(), [this] { return today; });
        return MainWindowHarness::start(programArchive.get());
    }

    // Types the act in and presses «Печатать»; the print question takes its default.
    void print(const Form1 &window, const NumberedAct &numbered)
    {
        enterAct(numbered.value(), window);
        click(window, "bCreateAct");
    }

    QList<MessageRequest> messagesContaining(const QString &text) const
    {
        QList<MessageRequest> found;
        for (const MessageRequest &message : prompts.messages) {
            if (message.text.contains(text))
                found << message;
        }
        return found;
    }

    QDate today{2026, 1, 5};
    std::unique_ptr<DbfArchive> programArchive;
};

// A backup folder whose copies cannot be removed, as by a user without the right.
struct BackupsKept final : FileCalls {
    BackupsKept() { useFileCalls(this); }
    ~BackupsKept() override { useFileCalls(nullptr); }
    BackupsKept(const BackupsKept &) = delete;
    BackupsKept &operator=(const BackupsKept &) = delete;
    int unlink(const char *path) override
    {
        if (!QByteArray(path).contains("/backup/QM-"))
            return FileCalls::unlink(path);
        errno = EACCES;
        return -1;
    }
};

}  // namespace

class ArchiveBackupsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eachWorkingDayBackedUpNewestKept_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("kept");
        QTest::newRow("as shipped: 40 days, 30 kept") << QString() << 40 << 30;
        QTest::newRow("BackupDays=3") << u"[Archive]\nBackupDays=3\n"_s << 6 << 3;
        QTest::newRow("BackupDays=0: none") << u"[Archive]\nBackupDays=0\n"_s << 3 << 0;
    }

    void eachWorkingDayBackedUpNewestKept()
    {
        QFETCH(QString, settings);
        QFETCH(int, days);
        QFETCH(int, kept);
        Workstation station(settings);
        const auto window = station.start();
        QVERIFY(window);
        QStringList archived;
        QMap<QDate, QStringList> archivedBefore;
        const QDate first = station.today;
        for (int day = 0; day < days; ++day) {
            station.today = first.addDays(day);
            archivedBefore.insert(station.today, archived);
            for (int n = 1; n <= 1 + day % 2; ++n) {
                station.print(*window, NumberedAct{u"%1-%2"_s.arg(day).arg(n)});
                archived << u"%1-%2"_s.arg(day).arg(n);
            }
        }
        QCOMPARE(storedRecords(*station.programArchive), actsNamed(archived));
        QCOMPARE(station.prompts.messages.size(), archived.size());  // the print questions, nothing else

        const QList<ArchiveBackupFile> backups = listArchiveBackups(station.programArchive->backupFolder());
        QCOMPARE(backups.size(), kept);
        for (int i = 0; i < kept; ++i) {
            QCOMPARE(backups[i].day, station.today.addDays(-i));
            QCOMPARE(storedRecords(backups[i].path), actsNamed(archivedBefore.value(backups[i].day)));
        }
    }

    // Days on which the archive stood empty must not rotate out the last
    // copy that holds acts.
    void rotationKeepsTheNewestBackupThatHoldsActs()
    {
        TempProgramFolder folder;
        createEmptyArchive(folder.filePath(u"QM.dbf"_s));
        DbfArchive archive(folder.path());
        QDir().mkpath(archive.backupFolder());
        saveActs(archive, {u"only"_s});
        for (int day = 1; day <= 5; ++day) {
            if (day == 2)
                deleteAt(archive, 0);
            QFile::copy(archive.filePath(), archive.backupFolder() + u'/' + archiveBackupFileName(QDate(2026, 2, day)));
        }
        removeOldArchiveBackups(archive.backupFolder(), 2, QDate(2026, 2, 6));
        QList<int> days;
        for (const ArchiveBackupFile &backup : listArchiveBackups(archive.backupFolder()))
            days << backup.day.day();
        QCOMPARE(days, (QList<int>{5, 4, 1}));
    }

    // The day's copy is made, only old ones stay: the mechanic is not told
    // that a copy is missing. Told once, every failure is logged.
    void oldCopiesThatCannotBeRemovedAreToldApart()
    {
        const QRegularExpression logged(u"^failure 70 at step \"daily backup.*не удалены"_s);
        QTest::ignoreMessage(QtWarningMsg, logged);
        QTest::ignoreMessage(QtWarningMsg, logged);
        Workstation station(u"[Archive]\nBackupDays=1\n"_s);
        QDir().mkpath(station.filePath(u"backup"_s));
        for (int day : {1, 2})
            station.writeFile(u"backup/"_s + archiveBackupFileName(QDate(2025, 12, day)),
                              fileBytes(station.filePath(u"QM.dbf"_s)));
        const BackupsKept kept;
        const auto window = station.start();
        station.print(*window, NumberedAct{u"a"_s});
        station.today = station.today.addDays(1);
        station.print(*window, NumberedAct{u"b"_s});

        const QList<MessageRequest> told = station.messagesContaining(u"не удалены"_s);
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].text.contains(u"Старые резервные копии архива в папке"_s)
                     && told[0].text.contains(u"Акт сохранён в архиве, и резервная копия архива за этот день сделана"_s)
                     && !told[0].text.contains(u"копия будет сделана"_s),
                 qPrintable(told[0].text));
        QCOMPARE(listArchiveBackups(station.programArchive->backupFolder()).size(), 4);
    }

    void refusedArchiveRestoredAtStartUp_data()
    {
        QTest::addColumn<bool>("missing");
        QTest::addColumn<bool>("yes");
        QTest::newRow("damaged, «Да»") << false << true;
        QTest::newRow("damaged, «Нет»") << false << false;
        QTest::newRow("missing, «Да»") << true << true;
    }

    void refusedArchiveRestoredAtStartUp()
    {
        QFETCH(bool, missing);
        QFETCH(bool, yes);
        Workstation station;
        // Modes no umask gives, as a shared folder has them.
        ::chmod(QFile::encodeName(station.path()).constData(), 0757);
        ::chmod(QFile::encodeName(station.filePath(u"QM.dbf"_s)).constData(), 0604);
        {
            const auto window = station.start();
            station.print(*window, NumberedAct{u"a"_s});
            station.print(*window, NumberedAct{u"b"_s});
            station.today = station.today.addDays(1);
            station.print(*window, NumberedAct{u"c"_s});
        }
        // A newer copy that does not open is passed over.
        station.writeFile(u"backup/"_s + archiveBackupFileName(station.today.addDays(1)), "torn");
        const QString archivePath = station.programArchive->filePath();
        const QByteArray damaged = fileBytes(archivePath).chopped(300);
        if (missing)
            QFile::remove(archivePath);
        else
            writeFileBytes(archivePath, damaged);
        ::chmod(QFile::encodeName(archivePath).constData(), 0606);  // a change since the backup, or none

        station.prompts.messages.clear();
        station.prompts.answer(yes ? PromptAnswer::Yes : PromptAnswer::No);
        const auto window = station.start();
        const QList<MessageRequest> question = station.messagesContaining(u"Восстановить архив"_s);
        QCOMPARE(question.size(), 1);
        const QString text = question[0].text;
        const QString backupDay = station.today.toString(u"dd.MM.yyyy"_s);
        QVERIFY2(text.startsWith(missing ? u"Ошибка 53\r\n"_s : u"Ошибка 3049\r\n"_s), qPrintable(text));
        QVERIFY(text.contains(u"от %1 (актов в ней: 2)"_s.arg(backupDay)));
        QVERIFY(text.contains(u"нет актов, сохранённых %1 и позже"_s.arg(backupDay)));
        const QStringList kept = QDir(station.path()).entryList({u"QM-damaged-*.dbf"_s});
        if (!yes) {
            QVERIFY(!window);
            QCOMPARE(station.prompts.messages.size(), 1);
            QCOMPARE(fileBytes(archivePath), damaged);
            QVERIFY(kept.isEmpty());
            return;
        }
        QVERIFY(window);
        QCOMPARE(window->statusPanelText(2), u"Записей: 2"_s);
        QStringList lines;
        QVERIFY(whileArchiveWindowShown([&] { click(*window, "bArchive"); },
                                        [&](Form2 &archiveWindow) { lines = lineTexts(archiveWindow.lBase()); }));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].contains(u" ~ a ~ "_s) && lines[1].contains(u" ~ b ~ "_s));
        // Taken from the damaged file, or from the backup that took the archive's.
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(archivePath).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, missing ? 0604u : 0606u);
        QCOMPARE(::stat(QFile::encodeName(station.programArchive->backupFolder()).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, 0757u);
        QCOMPARE(kept.size(), missing ? 0 : 1);
        if (!missing) {
            QVERIFY(text.contains(kept[0]));
            QCOMPARE(fileBytes(station.filePath(kept[0])), damaged);
        }
    }

    // Two copies of the program saving into one folder on the same day: one
    // copy of the day is made, never replaced, and no act is lost.
    void twoWorkstationsMakeOneBackupOfTheDay()
    {
        TempProgramFolder folder;
        createEmptyArchive(folder.filePath(u"QM.dbf"_s));
        DbfArchive archive(folder.path());
        QStringList ids{u"base-1"_s, u"base-2"_s, u"base-3"_s, u"base-4"_s, u"base-5"_s};
        saveActs(archive, ids);
        ActSaverProcess first({u"save"_s, folder.path(), u"A"_s, u"15"_s, u"0"_s, u"30"_s, u"go"_s});
        ActSaverProcess second({u"save"_s, folder.path(), u"B"_s, u"15"_s, u"0"_s, u"30"_s, u"go"_s});
        QCOMPARE(first.nextLine(), u"ready"_s);
        QCOMPARE(second.nextLine(), u"ready"_s);
        first.send(u"go"_s);
        second.send(u"go"_s);
        QStringList lines = first.finish(120000) + second.finish(120000);
        QVERIFY2(first.exitedNormally() && second.exitedNormally(),
                 qPrintable(first.errorOutput() + second.errorOutput()));

        const QList<ArchiveBackupFile> backups = listArchiveBackups(archive.backupFolder());
        // Each copy made once; a day passing midnight during the test has two.
        QCOMPARE(lines.removeAll(u"backup made"_s), backups.size());
        QVERIFY(!backups.isEmpty());
        QCOMPARE(QDir(archive.backupFolder()).entryList(QDir::Files | QDir::Hidden).size(), backups.size());
        ids += lines;
        QList<QStringList> stored = storedRecords(archive);
        QCOMPARE(stored.size(), ids.size());
        QList<QStringList> expected = actsNamed(ids);
        std::sort(stored.begin(), stored.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(stored, expected);
        const QList<QStringList> copied = storedRecords(backups.constLast().path);
        QVERIFY(copied.size() >= 5 && storedRecords(archive).first(copied.size()) == copied);
    }

    void fullDiskDuringTheBackupStillArchivesTheAct()
    {
        Workstation station;
        const QString backupFolder = station.filePath(u"backup"_s);
        QDir().mkpath(backupFolder);
        if (::mount("tmpfs", QFile::encodeName(backupFolder).constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("a small tmpfs cannot be mounted here: the full disk needs one");
        const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(backupFolder).constData(), MNT_DETACH); });
        QFile filler(backupFolder + u"/filler"_s);
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {}
        filler.close();

        const auto window = station.start();
        QList<QStringList> archivedWhenTold;
        station.prompts.whileMessageShown = [&](const MessageRequest &message) {
            if (message.text.contains(u"Резервная копия"_s))
                archivedWhenTold = storedRecords(*station.programArchive);
        };
        station.print(*window, NumberedAct{u"a"_s});
        station.print(*window, NumberedAct{u"b"_s});

        QCOMPARE(storedRecords(*station.programArchive), actsNamed({u"a"_s, u"b"_s}));
        const QList<MessageRequest> told = station.messagesContaining(u"Резервная копия"_s);
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].text.startsWith(u"Ошибка 61\r\n"_s), qPrintable(told[0].text));
        QCOMPARE(archivedWhenTold, actsNamed({u"a"_s}));
        QCOMPARE(QDir(backupFolder).entryList(QDir::Files | QDir::Hidden), QStringList{u"filler"_s});
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::ArchiveBackupsTest)
#include "test_archive_backups.moc"
