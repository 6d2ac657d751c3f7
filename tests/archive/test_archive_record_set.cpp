#include "archive/archive_failures.h"
#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "archive_test_helpers.h"
#include "support/temp_program_folder.h"

#include <QDate>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace qm::test {
namespace {

// Runs the call and returns the Failure it throws; fails the test if none.
template <typename Call> Failure failureOf(Call call)
{
    try {
        call();
    } catch (const Failure &failure) {
        return failure;
    }
    return Failure(0, u"no failure"_s);
}

}  // namespace

class ArchiveRecordSetTest : public QObject {
    Q_OBJECT

private:
    TempProgramFolder folder_;
    QString archivePath() const { return folder_.filePath(u"QM.dbf"_s); }
    DbfArchive freshArchive()
    {
        QFile::remove(archivePath());
        createEmptyArchive(archivePath());
        return DbfArchive(folder_.path(), 300ms);
    }

private Q_SLOTS:
    void valuesRoundTrip_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<QVariant>("read");

        QTest::newRow("Cyrillic text") << u"NAMEORG"_s << QVariant(u"ООО «Ромашка» №1"_s)
                                       << QVariant(u"ООО «Ромашка» №1"_s);
        QTest::newRow("full width Cyrillic")
            << u"NAMEORG"_s << QVariant(QString(40, u'Ж')) << QVariant(QString(40, u'Ж'));
        QTest::newRow("leading spaces kept") << u"ZAVNUM"_s << QVariant(u"  ab 12"_s) << QVariant(u"  ab 12"_s);
        QTest::newRow("one-space placeholder is null") << u"INN"_s << QVariant(u" "_s) << QVariant();
        QTest::newRow("padded registration number")
            << u"EKLZREG"_s << QVariant(u"123456    "_s) << QVariant(u"123456"_s);
        QTest::newRow("empty text is null") << u"MECHNAME"_s << QVariant(QString()) << QVariant();
        QTest::newRow("date value as plain text")
            << u"ACTDATE"_s << QVariant(QDate(2012, 12, 31)) << QVariant(u"31.12.2012"_s);
        QTest::newRow("logical true") << u"E_SOHRAN"_s << QVariant(true) << QVariant(true);
        QTest::newRow("logical never set") << u"E_READABLE"_s << QVariant() << QVariant();
        QTest::newRow("name in lower case") << u"godvyp"_s << QVariant(u"2005"_s) << QVariant(u"2005"_s);
    }

    void valuesRoundTrip()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, written);
        QFETCH(QVariant, read);
        DbfArchive archive = freshArchive();
        appendRecord(archive, {{field, written}, {u"PRICHINA"_s, u"Замена ЭКЛЗ"_s}});

        const auto records = archive.open(ArchiveAccess::ReadOnly);
        QCOMPARE(records->recordCount(), 1);
        QCOMPARE(records->value(field), read);
        QCOMPARE(records->value(u"Prichina"), QVariant(u"Замена ЭКЛЗ"_s));
    }

    void positionsCountLiveRecordsOnly()
    {
        DbfArchive archive = freshArchive();
        for (int i = 1; i <= 6; ++i)
            appendRecord(archive, {{u"ZAVNUM"_s, QString::number(i)}});

        deleteAt(archive, 0);  // the first
        deleteAt(archive, 4);  // the last, "6"
        deleteAt(archive, 1);  // "3", the new second
        QCOMPARE(column(archive, u"ZAVNUM"), QStringList({u"2"_s, u"4"_s, u"5"_s}));
        QCOMPARE(CountArchiveRecords(archive), 3);

        const auto records = archive.open(ArchiveAccess::ReadOnly);
        records->skip(2);
        QCOMPARE(records->value(u"ZAVNUM"), QVariant(u"5"_s));
        records->moveNext();
        QVERIFY(records->atEnd());
        QCOMPARE(failureOf([&] { records->value(u"ZAVNUM"); }).number(), FailureCode::NoCurrentRecord);
    }

    void deletedRecordStaysCurrentUntilMove()
    {
        DbfArchive archive = freshArchive();
        for (const QString &number : {u"A"_s, u"B"_s, u"C"_s})
            appendRecord(archive, {{u"ZAVNUM"_s, number}});

        const auto records = archive.open(ArchiveAccess::Writable);
        records->moveNext();
        records->deleteCurrent();
        QCOMPARE(records->recordCount(), 3);  // nothing stored before update()
        records->update();
        QCOMPARE(records->recordCount(), 2);
        QCOMPARE(failureOf([&] { records->value(u"ZAVNUM"); }).number(), FailureCode::NoCurrentRecord);
        records->moveNext();
        QCOMPARE(records->value(u"ZAVNUM"), QVariant(u"C"_s));
    }

    void appendCountsInItsOwnSetAndUncommittedIsDropped()
    {
        DbfArchive archive = freshArchive();
        appendRecord(archive, {{u"ZAVNUM"_s, u"1"_s}});

        const auto records = archive.open(ArchiveAccess::Writable);
        records->addNew();
        records->setValue(u"ZAVNUM", u"2"_s);
        records->update();
        QCOMPARE(records->recordCount(), 2);
        records->close();

        const QByteArray before = fileBytes(archivePath());
        {
            const auto abandoned = archive.open(ArchiveAccess::Writable);
            abandoned->addNew();
            abandoned->setValue(u"ZAVNUM", u"never"_s);
        }
        QCOMPARE(fileBytes(archivePath()), before);
        QCOMPARE(CountArchiveRecords(archive), 2);
    }

    void refusedValuesLeaveFileUnchanged_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("number");

        QTest::newRow("too long") << u"ZAVNUM"_s << QVariant(u"1234567890123"_s) << FailureCode::FieldTooSmall;
        QTest::newRow("too long Cyrillic") << u"NAMEORG"_s << QVariant(QString(41, u'Я')) << FailureCode::FieldTooSmall;
        QTest::newRow("not in Windows-1251") << u"NAMEORG"_s << QVariant(u"ООО 中文"_s) << FailureCode::TypeMismatch;
        QTest::newRow("text into logical") << u"E_SOHRAN"_s << QVariant(u"да"_s) << FailureCode::TypeMismatch;
        QTest::newRow("logical into text") << u"INN"_s << QVariant(true) << FailureCode::TypeMismatch;
        QTest::newRow("missing field") << u"MIFNS"_s << QVariant(u"1"_s) << FailureCode::ItemNotFound;
    }

    void refusedValuesLeaveFileUnchanged()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(int, number);
        DbfArchive archive = freshArchive();
        appendRecord(archive, {{u"ZAVNUM"_s, u"1"_s}});
        const QByteArray before = fileBytes(archivePath());

        const Failure failure = failureOf([&] { appendRecord(archive, {{u"INN"_s, u"7701"_s}, {field, value}}); });
        QCOMPARE(failure.number(), number);
        QVERIFY2(failure.description().contains(field), qPrintable(failure.description()));
        QVERIFY2(failure.description().contains(u"QM"), qPrintable(failure.description()));
        QCOMPARE(fileBytes(archivePath()), before);
    }

    void useFailures()
    {
        DbfArchive archive = freshArchive();
        appendRecord(archive, {{u"ZAVNUM"_s, u"1"_s}});

        const auto reader = archive.open(ArchiveAccess::ReadOnly);
        const Failure missingField = failureOf([&] { reader->value(u"MIFNS"); });
        QCOMPARE(missingField.number(), FailureCode::ItemNotFound);
        QVERIFY(missingField.description().contains(u"MIFNS") && missingField.description().contains(u"QM"));
        QCOMPARE(failureOf([&] { reader->addNew(); }).number(), ArchiveFailureCode::TableReadOnly);
        QCOMPARE(failureOf([&] { reader->deleteCurrent(); }).number(), ArchiveFailureCode::TableReadOnly);
        QCOMPARE(failureOf([&] { reader->skip(-1); }).number(), ArchiveFailureCode::InvalidArgument);

        // A shared lock admits readers and keeps a writer out until the deadline.
        const auto secondReader = archive.open(ArchiveAccess::ReadOnly);
        QCOMPARE(secondReader->recordCount(), 1);
        const Failure locked = failureOf([&] { archive.open(ArchiveAccess::Writable); });
        QCOMPARE(locked.number(), FailureCode::TableLocked);
        QVERIFY(locked.description().contains(archivePath()));
        reader->close();
        secondReader->close();
        QCOMPARE(failureOf([&] { reader->recordCount(); }).number(), ArchiveFailureCode::RecordSetClosed);
        QVERIFY(archive.open(ArchiveAccess::Writable));

        QVERIFY(QFile::remove(archivePath()));
        const Failure missing = failureOf([&] { CountArchiveRecords(archive); });
        QCOMPARE(missing.number(), FailureCode::FileNotFound);
        QVERIFY(missing.description().contains(archivePath()));
        QVERIFY(!QFile::exists(archivePath()));
    }

    void permissionDenied()
    {
        if (::geteuid() == 0)
            QSKIP("file permissions do not bind the superuser");
        DbfArchive archive = freshArchive();
        appendRecord(archive, {{u"ZAVNUM"_s, u"1"_s}});
        QFile::setPermissions(archivePath(), QFile::ReadOwner);
        const QByteArray before = fileBytes(archivePath());
        QCOMPARE(failureOf([&] { archive.open(ArchiveAccess::Writable); }).number(), FailureCode::PermissionDenied);
        QCOMPARE(CountArchiveRecords(archive), 1);
        QCOMPARE(fileBytes(archivePath()), before);
    }

    void failedWriteIsReportedAndLeavesFileUnchanged()
    {
        DbfArchive archive = freshArchive();
        appendRecord(archive, {{u"ZAVNUM"_s, u"1"_s}});
        const QByteArray before = fileBytes(archivePath());

        // A file size limit just past the current end makes the append's write fail part-way.
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        ::getrlimit(RLIMIT_FSIZE, &previous);
        rlimit small = previous;
        small.rlim_cur = rlim_t(before.size() + 10);
        ::setrlimit(RLIMIT_FSIZE, &small);
        const Failure failure = failureOf([&] { appendRecord(archive, {{u"ZAVNUM"_s, u"2"_s}}); });
        ::setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY2(failure.number() == FailureCode::PathFileAccessError || failure.number() == FailureCode::DiskFull,
                 qPrintable(failure.description()));
        QVERIFY(failure.description().contains(archivePath()));
        QCOMPARE(fileBytes(archivePath()), before);
        appendRecord(archive, {{u"ZAVNUM"_s, u"2"_s}});
        QCOMPARE(column(archive, u"ZAVNUM"), QStringList({u"1"_s, u"2"_s}));
    }
};

}  // namespace qm::test

QTEST_GUILESS_MAIN(qm::test::ArchiveRecordSetTest)
#include "test_archive_record_set.moc"
