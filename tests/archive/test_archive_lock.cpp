#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "archive_test_helpers.h"
#include "common/failure.h"
#include "support/temp_program_folder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <thread>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace qm::test {
namespace {

// The archive file opened a second time, the way another copy of the program
// (on this machine or, through the file server, on another) holds it.
class OtherHolder {
public:
    OtherHolder(const QString &path, short lockType)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC))
    {
        struct flock request {};
        request.l_type = lockType;
        request.l_whence = SEEK_SET;
        locked_ = fd_ >= 0 && ::fcntl(fd_, F_OFD_SETLKW, &request) == 0;
    }
    ~OtherHolder() { release(); }
    OtherHolder(const OtherHolder &) = delete;
    OtherHolder &operator=(const OtherHolder &) = delete;

    bool locked() const { return locked_; }
    void release()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
    bool locked_ = false;
};

int failureNumberOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Failure &failure) {
        return failure.number();
    }
    return 0;
}

}  // namespace

class ArchiveLockTest : public QObject {
    Q_OBJECT

private:
    TempProgramFolder folder_;
    QString archivePath() const { return folder_.filePath(u"QM.dbf"_s); }

    const FieldValues act{{u"ZAVNUM"_s, u"0012345"_s}, {u"NAMEORG"_s, u"ООО «Ромашка»"_s}};

private Q_SLOTS:
    void init()
    {
        QFile::remove(archivePath());
        createEmptyArchive(archivePath());
    }

    void saveWaitsForAnotherWriterThenGivesUp()
    {
        const OtherHolder other(archivePath(), F_WRLCK);
        QVERIFY(other.locked());
        const QByteArray before = fileBytes(archivePath());

        DbfArchive archive(folder_.path(), 400ms);
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(failureNumberOf([&] { appendRecord(archive, act); }), FailureCode::TableLocked);
        QVERIFY2(waited.elapsed() >= 400, qPrintable(QString::number(waited.elapsed())));
        // Reading waits for a writer as well.
        QCOMPARE(failureNumberOf([&] { CountArchiveRecords(archive); }), FailureCode::TableLocked);
        QCOMPARE(fileBytes(archivePath()), before);
    }

    void readerKeepsSavesOutButNotOtherReaders()
    {
        const OtherHolder other(archivePath(), F_RDLCK);
        QVERIFY(other.locked());
        DbfArchive archive(folder_.path(), 300ms);
        QCOMPARE(CountArchiveRecords(archive), 0);
        QCOMPARE(failureNumberOf([&] { appendRecord(archive, act); }), FailureCode::TableLocked);
    }

    void waitingSaveGoesOnWhenTheOtherLetsGo()
    {
        OtherHolder other(archivePath(), F_WRLCK);
        QVERIFY(other.locked());
        std::thread letGo([&] {
            std::this_thread::sleep_for(300ms);
            other.release();
        });
        DbfArchive archive(folder_.path(), 60s);
        const int failure = failureNumberOf([&] { appendRecord(archive, act); });
        letGo.join();
        QCOMPARE(failure, 0);
        QCOMPARE(column(archive, u"ZAVNUM"), QStringList{u"0012345"_s});
    }

    void theProgramWaitsFiveSeconds()
    {
        const OtherHolder other(archivePath(), F_WRLCK);
        QVERIFY(other.locked());
        DbfArchive archive(folder_.path());
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(failureNumberOf([&] { appendRecord(archive, act); }), FailureCode::TableLocked);
        QVERIFY2(waited.elapsed() >= 5000, qPrintable(QString::number(waited.elapsed())));
    }
};

}  // namespace qm::test

QTEST_GUILESS_MAIN(qm::test::ArchiveLockTest)
#include "test_archive_lock.moc"
