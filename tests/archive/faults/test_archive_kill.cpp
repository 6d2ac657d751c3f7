// A save killed at any moment loses nothing that was reported saved and
// leaves no partial record: the helper saves acts in a loop through the real
// archive code and is killed with SIGKILL at random moments.

#include "act_saver_process.h"
#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "archive_contents.h"
#include "archive_test_helpers.h"
#include "support/temp_program_folder.h"

#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QTest>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

// Enough rounds to land kills inside every phase of an append within about a
// minute; QM_KILL_ROUNDS raises it for a longer run, QM_KILL_SEED repeats one.
constexpr int kDefaultRounds = 300;
// The longest wait before a kill, after the helper said it was ready.
constexpr int kLongestWaitUs = 15000;

// Whether the file ends anywhere but right after its committed records' end
// mark: the kill fell inside an append, between writing and committing.
bool hasUncommittedTail(const QString &path)
{
    const QByteArray bytes = fileBytes(path);
    const auto little = [&](int at, int size) {
        qint64 value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value * 256 + quint8(bytes[at + i]);
        return value;
    };
    return bytes.size() != little(8, 2) + little(4, 4) * little(10, 2) + 1;
}

int configured(const char *variable, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(variable, &ok);
    return ok && value > 0 ? value : fallback;
}

}  // namespace

class ArchiveKillTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedSavesLoseNothingAndLeaveNoPartialRecord()
    {
        const int rounds = configured("QM_KILL_ROUNDS", kDefaultRounds);
        const quint32 seed = quint32(configured("QM_KILL_SEED", int(QRandomGenerator::global()->bounded(1 << 30))));
        qInfo("%d rounds, QM_KILL_SEED=%u", rounds, seed);
        QRandomGenerator random(seed);

        TempProgramFolder folder;
        const QString path = folder.filePath(u"QM.dbf"_s);
        createEmptyArchive(path);
        DbfArchive archive(folder.path());
        const bool checkWithXBase = xbaseAvailable();
        if (!checkWithXBase)
            qWarning("dbf_dump (Debian package libdbd-xbase-perl) is missing: no independent reader");

        // Every act the archive must hold from now on, by id.
        QHash<QString, int> mustHold;
        int killsInsideSaves = 0;
        int killsBeforeCommit = 0;
        for (int round = 1; round <= rounds; ++round) {
            ActSaverProcess saver({u"save"_s, folder.path(), u"k%1"_s.arg(round), u"0"_s});
            QCOMPARE(saver.nextLine(), u"ready"_s);
            std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(kLongestWaitUs)));
            saver.kill();
            const QStringList reported = saver.finish();
            killsBeforeCommit += hasUncommittedTail(path) ? 1 : 0;

            const QList<QStringList> records = storedRecords(archive);
            const QString torn = tornRecords(records);
            QVERIFY2(torn.isEmpty(), qPrintable(u"round %1:\n"_s.arg(round) + torn));

            QHash<QString, int> held;
            for (const QStringList &record : records)
                ++held[record[3]];
            for (const QString &id : reported)
                mustHold.insert(id, 1);
            // The save in flight may have been committed before the kill: then
            // it is the next act of this round, stored once and kept from now on.
            const QString inFlight = u"k%1-%2"_s.arg(round).arg(reported.size() + 1);
            if (held.contains(inFlight)) {
                mustHold.insert(inFlight, 1);
                ++killsInsideSaves;
            }
            QCOMPARE(held, mustHold);

            // Writable too: an interrupted append must not block the next one.
            archive.open(ArchiveAccess::Writable)->close();
            if (checkWithXBase) {
                QList<QStringList> expected;
                for (const QStringList &record : records)
                    expected << withoutTrailingSpaces(record);
                QCOMPARE(recordsByXBase(path), expected);
            }
        }
        qInfo("%lld acts stored; %d kills cut an append before its commit, %d came after a commit but before "
              "its report",
              qlonglong(mustHold.size()), killsBeforeCommit, killsInsideSaves);
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::ArchiveKillTest)
#include "test_archive_kill.moc"
