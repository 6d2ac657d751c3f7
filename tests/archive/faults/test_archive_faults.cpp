// A save that cannot be done says so with a numbered message, leaves the
// archive as it was, and a retry once the cause is gone stores the act once:
// a vanished QM.dbf, a full disk, a file-size limit and a file made read-only
// after the check before printing. The main window goes on working throughout.

#include "act_saver_process.h"
#include "app/main_window/form1.h"
#include "app/main_window/startup.h"
#include "archive/archive_snapshot.h"
#include "archive/archive_table.h"
#include "archive/dbf_archive.h"
#include "archive/dbf_header.h"
#include "archive/empty_archive.h"
#include "archive/save_act.h"
#include "archive_contents.h"
#include "archive_test_helpers.h"
#include "numbered_act.h"
#include "support/main_window_harness.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

const NumberedAct kRetriedAct{u"retry-1"_s};

// Opens the real archive, then takes the file away behind the open record
// set, once: another program deleting QM.dbf in the middle of a save.
class VanishingArchive final : public Archive {
public:
    explicit VanishingArchive(const QString &folder) : real_(folder) {}
    std::unique_ptr<ArchiveRecordSet> open(ArchiveAccess access) override
    {
        auto records = real_.open(access);
        if (access == ArchiveAccess::Writable && armed) {
            armed = false;
            QFile::remove(real_.filePath());
        }
        return records;
    }
    std::unique_ptr<ArchiveSnapshot> snapshot() override { return real_.snapshot(); }
    bool armed = true;

private:
    DbfArchive real_;
};

// A small file system of its own, where the machine lets us mount one.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const QString &where) : where_(where)
    {
        QDir().mkpath(where_);
        if (::mount("tmpfs", QFile::encodeName(where_).constData(), "tmpfs", 0, "size=256k,mode=0755") == 0)
            mounted_ = true;
        else
            error_ = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallFileSystem()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(where_).constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    QString error() const { return error_; }

    // Takes every free block: the next block anyone asks for is refused.
    void fill() const
    {
        QFile filler(where_ + u"/filler"_s);
        filler.open(QIODevice::WriteOnly);
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {}
        const QByteArray byte(1, 'x');
        while (filler.write(byte) == 1 && filler.flush()) {}
    }
    void free() const { QFile::remove(where_ + u"/filler"_s); }

private:
    QString where_;
    bool mounted_ = false;
    QString error_;
};

// A program folder with settings, a dummy template and an archive of a few
// acts, and the real main window started on it.
struct Program : MainWindowHarness {
    explicit Program(const QString &programFolder)
        : MainWindowHarness(HarnessOptions()
                                .withSettings(sampleSettings(1))
                                .withTemplate(ProgramTemplate::Dummy)
                                .inFolder(programFolder))
    {
    }

    void saveActs(int count)
    {
        for (int n = 1; n <= count; ++n)
            SaveActToArchive(NumberedAct{u"base-%1"_s.arg(n)}.value(), archive);
    }
};

// Whether an append of one more record to this file needs a block the file
// does not have yet.
bool nextAppendNeedsNewBlock(const QString &path)
{
    const qint64 size = QFileInfo(path).size();
    const qint64 recordWithEndMark
        = layoutDbfHeader(archiveFieldLayout(), kDbfLdidWindows1251, QDate(2026, 1, 1)).recordLength + 1;
    return (size - 1) % 4096 + recordWithEndMark > 4096;
}

// Whether every folder above the helper lets other users through.
bool reachableByOtherUsers(const QString &program)
{
    for (QFileInfo folder(QFileInfo(program).absolutePath());; folder = QFileInfo(folder.absolutePath())) {
        if (!(folder.permissions() & QFile::ExeOther))
            return false;
        if (folder.isRoot())
            return true;
    }
}

}  // namespace

class ArchiveFaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void printRetryAfterTheCauseIsGoneStoresTheActOnce_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<int>("number");
        QTest::newRow("QM.dbf deleted") << u"deleted"_s << 53;
        QTest::newRow("QM.dbf deleted while open") << u"deleted while open"_s << 53;
        QTest::newRow("disk full") << u"disk full"_s << 61;
    }

    void printRetryAfterTheCauseIsGoneStoresTheActOnce()
    {
        QFETCH(QString, cause);
        QFETCH(int, number);
        TempProgramFolder outer;
        std::unique_ptr<SmallFileSystem> smallDisk;
        QString folder = outer.path();
        if (cause == u"disk full"_s) {
            folder = outer.filePath(u"small"_s);
            smallDisk = std::make_unique<SmallFileSystem>(folder);
            if (!smallDisk->mounted())
                QSKIP(qPrintable(u"a small tmpfs cannot be mounted here (%1); the file-size limit "
                                 "case stands in for a full disk"_s.arg(smallDisk->error())));
        }
        Program program(folder);
        program.saveActs(3);
        if (smallDisk) {
            for (int n = 4; !nextAppendNeedsNewBlock(program.archivePath()); ++n)
                SaveActToArchive(NumberedAct{u"base-%1"_s.arg(n)}.value(), program.archive);
        }
        const QList<QStringList> before = storedRecords(program.archive);
        const QByteArray original = fileBytes(program.archivePath());

        VanishingArchive vanishing(folder);
        auto window = program.start(cause == u"deleted while open"_s ? &vanishing : nullptr);
        QVERIFY(window);
        enterAct(kRetriedAct.value(), *window);
        QString describes = program.archivePath();
        QByteArray hashWhileShown = fileHash(program.archivePath());
        std::function<void()> removeCause = [&] { writeFileBytes(program.archivePath(), original); };
        if (cause == u"deleted"_s || cause == u"deleted while open"_s) {
            if (cause == u"deleted"_s)
                QVERIFY(QFile::remove(program.archivePath()));
            hashWhileShown = "missing";  // and not made anew by the failed save
        } else if (cause == u"disk full"_s) {
            smallDisk->fill();
            removeCause = [&] { smallDisk->free(); };
        }

        QByteArray hashSeen;
        program.prompts.whileMessageShown = [&](const MessageRequest &request) {
            if (request.text.endsWith(u"Повторить ?"_s) && hashSeen.isEmpty()) {
                hashSeen = fileHash(program.archivePath());
                removeCause();
            }
        };
        click(*window, "bCreateAct");

        const QStringList questions = program.retryQuestions();
        QCOMPARE(questions.size(), 1);
        QVERIFY2(questions[0].startsWith(QString::number(number) + u" : "_s), qPrintable(questions[0]));
        QVERIFY2(questions[0].contains(describes), qPrintable(questions[0]));
        QCOMPARE(hashSeen, hashWhileShown);

        QCOMPARE(storedRecords(program.archive), before + QList<QStringList>{kRetriedAct.storedFields()});
        QCOMPARE(window->statusPanelText(2), u"Записей: %1"_s.arg(before.size() + 1));
        // The typed act is still in the window.
        QCOMPARE(window->actControls().txtZavNum->text(), kRetriedAct.id);
    }

    // Another process, so that what it takes is its own: a file-size limit
    // (the process's, set from outside) or the rights of an ordinary user.
    void retryInAnotherProcessAfterTheCauseIsGone_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<int>("number");
        QTest::newRow("file-size limit") << u"file-size limit"_s << 75;
        QTest::newRow("read-only QM.dbf") << u"read-only"_s << 70;
    }

    void retryInAnotherProcessAfterTheCauseIsGone()
    {
        QFETCH(QString, cause);
        QFETCH(int, number);
        TempProgramFolder outer;
        Program program(outer.path());
        program.saveActs(3);
        const QList<QStringList> before = storedRecords(program.archive);
        const QByteArray hashBefore = fileHash(program.archivePath());
        const QByteArray path = QFile::encodeName(program.archivePath());

        QStringList arguments{u"print"_s, program.path(), kRetriedAct.id};
        if (cause == u"read-only"_s) {
            if (::geteuid() == 0) {
                // Root writes anyway: the helper becomes nobody, who owns the file.
                const passwd *nobody = ::getpwnam("nobody");
                if (!nobody)
                    QSKIP("running as root and there is no user nobody to drop to");
                if (!reachableByOtherUsers(ActSaverProcess::program()))
                    QSKIP("running as root, and user nobody cannot reach the helper in this build folder");
                QVERIFY(::chown(path.constData(), nobody->pw_uid, nobody->pw_gid) == 0);
                QVERIFY(::chmod(QFile::encodeName(program.path()).constData(), 0755) == 0);
                arguments << u"--user"_s << u"nobody"_s;
            }
        }

        ActSaverProcess helper(arguments);
        QCOMPARE(helper.nextLine(), u"ready"_s);
        rlimit limit{};
        if (cause == u"file-size limit"_s) {
            QVERIFY(::prlimit(pid_t(helper.pid()), RLIMIT_FSIZE, nullptr, &limit) == 0);
            const rlimit atTheEnd{rlim_t(QFileInfo(program.archivePath()).size()), limit.rlim_max};
            QVERIFY(::prlimit(pid_t(helper.pid()), RLIMIT_FSIZE, &atTheEnd, nullptr) == 0);
        }
        helper.send(u"go"_s);

        QVERIFY(helper.nextLine().startsWith(u"message\tПечатать сразу"_s));
        // Made read-only after the check before printing, which would have refused it.
        if (cause == u"read-only"_s)
            QVERIFY(::chmod(path.constData(), 0444) == 0);
        helper.send(u"no"_s);
        const QStringList failure = helper.nextLine().split(u'\t');
        QCOMPARE(failure.size(), 3);
        QVERIFY2(failure[1].startsWith(QString::number(number) + u" : "_s), qPrintable(failure[1]));
        QVERIFY2(failure[1].contains(program.archivePath()), qPrintable(failure[1]));
        QVERIFY2(failure[1].endsWith(u"\\nПовторить ?"_s), qPrintable(failure[1]));
        QCOMPARE(failure[2].toLatin1(), hashBefore);

        if (cause == u"file-size limit"_s)
            QVERIFY(::prlimit(pid_t(helper.pid()), RLIMIT_FSIZE, &limit, nullptr) == 0);
        else
            QVERIFY(::chmod(path.constData(), 0644) == 0);
        helper.send(u"yes"_s);
        QCOMPARE(helper.nextLine(), u"done\tЗаписей: %1"_s.arg(before.size() + 1));
        helper.finish();
        QVERIFY2(helper.exitedNormally(), qPrintable(helper.errorOutput()));
        QCOMPARE(storedRecords(program.archive), before + QList<QStringList>{kRetriedAct.storedFields()});
    }

    // The window keeps working with its archive gone: every archive command
    // reports it, the others go on, and nothing makes a new QM.dbf.
    void windowKeepsWorkingWithItsArchiveGone()
    {
        TempProgramFolder outer;
        Program program(outer.path());
        program.saveActs(2);
        auto window = program.start();
        QVERIFY(window);
        enterAct(kRetriedAct.value(), *window);
        QVERIFY(QFile::remove(program.archivePath()));

        click(*window, "bArchive");
        QCOMPARE(program.prompts.messages.size(), 1);
        QVERIFY(program.prompts.messages[0].text.startsWith(u"Ошибка 53\r\n"_s));
        QVERIFY(program.prompts.messages[0].text.contains(program.archivePath()));
        QCOMPARE(window->actControls().txtNameOrg->text(), u"ООО «Акт retry-1»"_s);

        program.prompts.answer(PromptAnswer::No);  // no retry of the check before printing
        click(*window, "bCreateAct");
        QCOMPARE(program.retryQuestions().size(), 1);
        QVERIFY(program.spreadsheet.log.isEmpty());
        QCOMPARE(window->actControls().txtZavNum->text(), kRetriedAct.id);
        QVERIFY(!QFile::exists(program.archivePath()));

        click(*window, "bClear");
        QCOMPARE(window->actControls().txtNameOrg->text(), QString());
        QCOMPARE(program.prompts.messages.size(), 2);
        QVERIFY(!QFile::exists(program.archivePath()));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::ArchiveFaultsTest)
#include "test_archive_faults.moc"
