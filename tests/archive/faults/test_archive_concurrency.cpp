// Two copies of the archive code at once: every act stored once, none lost or
// overwritten; a deletion while another copy appends takes the right record or
// none at all.

#include "act_saver_process.h"
#include "archive/archive_snapshot.h"
#include "archive/archive_table.h"
#include "archive/archived_acts.h"
#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "archive/save_act.h"
#include "archive_contents.h"
#include "numbered_act.h"
#include "support/temp_program_folder.h"

#include <QHash>
#include <QRandomGenerator>
#include <QTest>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

constexpr int kSavesPerProcess = 300;
constexpr int kDeletionRounds = 40;
constexpr int kZavNum = 3;

// The five text fields of the main window, as a deletion leaves them.
struct TextFields {
    void show(const ArchivedActTexts &texts)
    {
        shown = {texts.serialNumber, texts.yearMade, texts.inn, texts.registrationNumber, texts.customer};
    }

    QStringList shown{{}, {}, {}, {}, {}};  // ZAVNUM, GODVYP, INN, EKLZREG, NAMEORG
};

// A program folder whose archive already holds some acts.
struct SharedArchive {
    explicit SharedArchive(int acts)
    {
        createEmptyArchive(folder.filePath(u"QM.dbf"_s));
        for (int n = 1; n <= acts; ++n)
            SaveActToArchive(NumberedAct{u"base-%1"_s.arg(n)}.value(), archive);
    }

    // Deletes the listed record and hands its texts to the fields, as the
    // archive window does.
    DeletionOutcome deleteListed(const ListedRecord &listed)
    {
        const DeletedRecord deleted = DeleteSelectedRecord(archive, listed);
        if (deleted.outcome == DeletionOutcome::Deleted)
            fields.show(deleted.texts);
        return deleted.outcome;
    }
    QString path() const { return folder.filePath(u"QM.dbf"_s); }

    TempProgramFolder folder;
    DbfArchive archive{folder.path()};
    TextFields fields;
};

QStringList deletionCopiesOf(const QStringList &record)
{
    // ZAVNUM, GODVYP, INN, EKLZREG, NAMEORG in the table's column order.
    return {record[3], record[4], record[6], record[7], record[8]};
}

}  // namespace

class ArchiveConcurrencyTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoProcessesSavingStoreEveryActOnce_data()
    {
        QTest::addColumn<int>("pauseMs");
        QTest::newRow("back to back") << 0;
        QTest::newRow("with pauses") << 1;
    }

    void twoProcessesSavingStoreEveryActOnce()
    {
        QFETCH(int, pauseMs);
        SharedArchive shared(3);
        const QString count = QString::number(kSavesPerProcess);
        const QString pause = QString::number(pauseMs);
        ActSaverProcess first({u"save"_s, shared.folder.path(), u"a"_s, count, pause});
        ActSaverProcess second({u"save"_s, shared.folder.path(), u"b"_s, count, pause});
        const QStringList reportedFirst = first.finish(120000);
        const QStringList reportedSecond = second.finish(120000);
        QVERIFY2(first.exitedNormally(), qPrintable(first.errorOutput()));
        QVERIFY2(second.exitedNormally(), qPrintable(second.errorOutput()));
        QCOMPARE(reportedFirst.size(), kSavesPerProcess);
        QCOMPARE(reportedSecond.size(), kSavesPerProcess);

        const QList<QStringList> records = storedRecords(shared.archive);
        QCOMPARE(tornRecords(records), QString());
        QHash<QString, int> held;
        for (const QStringList &record : records)
            ++held[record[kZavNum]];
        QHash<QString, int> expected{{u"base-1"_s, 1}, {u"base-2"_s, 1}, {u"base-3"_s, 1}};
        for (const QString &id : reportedFirst + reportedSecond)
            expected.insert(id, 1);
        QCOMPARE(held, expected);
        // Each copy's acts keep their own order in the table.
        QStringList firstInTable;
        for (const QStringList &record : records)
            if (record[kZavNum].startsWith(u"a-"_s))
                firstInTable << record[kZavNum];
        QCOMPARE(firstInTable, reportedFirst);

        if (xbaseAvailable()) {
            QList<QStringList> dumped;
            for (const QStringList &record : records)
                dumped << withoutTrailingSpaces(record);
            QCOMPARE(recordsByXBase(shared.path()), dumped);
        }
    }

    // Filled list, then another copy appends, then the delete: the listed
    // record is still the same act, so it alone is deleted and handed over.
    void deletionAfterAnotherCopyAppendedDeletesTheListedRecord()
    {
        SharedArchive shared(5);
        const auto lines = FillArchiveList(shared.archive).lines;
        QVERIFY(lines);
        const QList<QStringList> before = storedRecords(shared.archive);

        ActSaverProcess other({u"save"_s, shared.folder.path(), u"x"_s, u"1"_s});
        const QStringList appended = other.finish();
        QCOMPARE(appended, QStringList{u"x-1"_s});

        QCOMPARE(shared.deleteListed(lines->listed(2)), DeletionOutcome::Deleted);
        QList<QStringList> expected = before;
        expected.removeAt(2);
        QCOMPARE(storedRecords(shared.archive), expected + actsNamed(appended));
        QCOMPARE(shared.fields.shown, deletionCopiesOf(before[2]));
    }

    // The delete races a copy that appends a few acts: whichever wins, the
    // record deleted is the selected one, or nothing is. An append leaves the
    // listed act as it was, so deletions must go through.
    void deletionRacingAnAppendDeletesTheRightRecordOrNone()
    {
        constexpr int kStartingActs = 12;
        SharedArchive shared(kStartingActs);
        QRandomGenerator random(20261207);
        int deleted = 0;
        int appendedInAll = 0;
        for (int round = 1; round <= kDeletionRounds; ++round) {
            const auto lines = FillArchiveList(shared.archive).lines;
            QVERIFY(lines);
            const int line = int(random.bounded(lines->size()));
            const QList<QStringList> before = storedRecords(shared.archive);
            const QStringList fieldsBefore = shared.fields.shown;

            ActSaverProcess other({u"save"_s, shared.folder.path(), u"r%1"_s.arg(round), u"2"_s, u"4"_s});
            QCOMPARE(other.nextLine(), u"ready"_s);
            std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(4000)));
            const DeletionOutcome outcome = shared.deleteListed(lines->listed(line));
            const QStringList appended = other.finish();
            QVERIFY2(other.exitedNormally(), qPrintable(other.errorOutput()));
            appendedInAll += int(appended.size());

            QList<QStringList> expected = before;
            if (outcome == DeletionOutcome::Deleted) {
                ++deleted;
                QCOMPARE(shared.fields.shown, deletionCopiesOf(before[line]));
                expected.removeAt(line);
            } else {
                QCOMPARE(shared.fields.shown, fieldsBefore);
            }
            QCOMPARE(storedRecords(shared.archive), expected + actsNamed(appended));
        }
        qInfo("%d of %d deletions went through, the others found the archive changed", deleted, kDeletionRounds);
        QVERIFY(deleted > 0);
        QCOMPARE(CountArchiveRecords(shared.archive), kStartingActs + appendedInAll - deleted);
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::ArchiveConcurrencyTest)
#include "test_archive_concurrency.moc"
