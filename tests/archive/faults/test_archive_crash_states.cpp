// A power cut at any moment of a save or a deletion leaves an archive that
// opens as it was before or as it is after, every earlier act intact. Every
// write, truncation, sync and change of a name the archive code issues is
// recorded; from the recording, every state of the disk a cut could leave is
// rebuilt in a folder of its own and opened with the archive code.
//
// The model: what a file held at its last completed sync is on disk. Of its
// writes after that, any subset of 512-byte sectors may have reached the disk,
// and a write that grew the file may have grown it without its data (zeros).
// Changes of names in a folder after that folder's last sync reached the disk
// in order, up to any point; a rename or a link is atomic.

#include "archive/archive_backup.h"
#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "archive/file_calls.h"
#include "archive/save_act.h"
#include "archive_contents.h"
#include "archive_test_helpers.h"
#include "numbered_act.h"
#include "support/temp_program_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QRandomGenerator>
#include <QTest>

#include <sys/stat.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

constexpr qint64 kSector = 512;
constexpr qint64 kMostStatesEnumerated = 4096;
constexpr int kStatesSampled = 3000;
const QDate kToday(2026, 3, 12);

struct Call {
    enum Kind { Write, Truncate, SyncFile, SyncFolder, Create, MakeFolder, Link, Rename, Unlink } kind;
    ino_t inode = 0;
    QString path = {}, target = {};  // relative to the program folder
    qint64 offset = 0;               // where a write starts; a truncation's length
    QByteArray bytes = {};

    bool changesContent() const { return kind == Write || kind == Truncate; }
    bool changesNames() const { return kind >= Create; }
    QString folder() const { return QFileInfo(target.isEmpty() ? path : target).path(); }
    QString text() const
    {
        static const char *const kinds[]
            = {"write", "truncate", "fsync", "fsync folder", "create", "mkdir", "link", "rename", "unlink"};
        return u"%1 %2%3 %4 %5"_s
            .arg(QLatin1StringView(kinds[kind]), path, target.isEmpty() ? QString() : u"→"_s + target)
            .arg(offset)
            .arg(bytes.size());
    }
};

struct stat statusOf(int fd)
{
    struct stat status {};
    ::fstat(fd, &status);
    return status;
}

// The system's calls, each one that succeeded written down.
class Recorder final : public FileCalls {
public:
    explicit Recorder(const QString &root) : root_(QDir(root).canonicalPath()) { useFileCalls(this); }
    ~Recorder() override { useFileCalls(nullptr); }
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;

    ssize_t pwrite(int fd, const void *data, size_t size, off_t offset) override
    {
        const ssize_t n = FileCalls::pwrite(fd, data, size, offset);
        if (n > 0)
            calls.append({.kind = Call::Write,
                          .inode = statusOf(fd).st_ino,
                          .path = pathOf(fd),
                          .offset = offset,
                          .bytes = QByteArray(static_cast<const char *>(data), n)});
        return n;
    }
    int ftruncate(int fd, off_t length) override
    {
        return noted(FileCalls::ftruncate(fd, length),
                     {.kind = Call::Truncate, .inode = statusOf(fd).st_ino, .path = pathOf(fd), .offset = length});
    }
    int fsync(int fd) override
    {
        const bool folder = S_ISDIR(statusOf(fd).st_mode);
        return noted(FileCalls::fsync(fd),
                     {.kind = folder ? Call::SyncFolder : Call::SyncFile,
                      .inode = statusOf(fd).st_ino,
                      .path = pathOf(fd) + (folder ? u"/."_s : QString())});
    }
    int create(const char *path, int flags, mode_t mode) override
    {
        const int fd = FileCalls::create(path, flags, mode);
        if (fd >= 0)
            calls.append({.kind = Call::Create, .inode = statusOf(fd).st_ino, .path = relative(path)});
        return fd;
    }
    int mkdir(const char *path, mode_t mode) override
    {
        return named(FileCalls::mkdir(path, mode), Call::MakeFolder, path);
    }
    int link(const char *from, const char *to) override
    {
        return named(FileCalls::link(from, to), Call::Link, from, to);
    }
    int rename(const char *from, const char *to) override
    {
        return named(FileCalls::rename(from, to), Call::Rename, from, to);
    }
    int renameNoReplace(const char *from, const char *to) override
    {
        return named(FileCalls::renameNoReplace(from, to), Call::Rename, from, to);
    }
    int unlink(const char *path) override { return named(FileCalls::unlink(path), Call::Unlink, path); }

    QList<Call> calls;

private:
    int noted(int result, Call call)
    {
        if (result == 0)
            calls.append(std::move(call));
        return result;
    }
    int named(int result, Call::Kind kind, const char *path, const char *target = nullptr)
    {
        return noted(result, {.kind = kind, .path = relative(path), .target = target ? relative(target) : QString()});
    }
    QString relative(const char *path) const { return QDir(root_).relativeFilePath(QFile::decodeName(path)); }
    QString pathOf(int fd) const
    {
        return QDir(root_).relativeFilePath(QFileInfo(u"/proc/self/fd/%1"_s.arg(fd)).symLinkTarget());
    }

    QString root_;
};

// What a disk holds: names of files and folders, and each file's bytes.
struct Disk {
    QMap<QString, ino_t> files;
    QStringList folders;
    QHash<ino_t, QByteArray> contents;

    static Disk of(const QString &root)
    {
        Disk disk;
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QDir(root).relativeFilePath(it.next());
            struct stat status {};
            ::stat(QFile::encodeName(it.filePath()).constData(), &status);
            if (it.fileInfo().isDir()) {
                disk.folders << name;
            } else {
                disk.files[name] = status.st_ino;
                disk.contents[status.st_ino] = fileBytes(it.filePath());
            }
        }
        return disk;
    }

    void writeTo(const QString &root) const
    {
        QDir(root).removeRecursively();
        for (const QString &folder : folders)
            QDir(root).mkpath(folder);
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            // A file in a folder whose own name never reached the disk is lost with it.
            if (QFileInfo(it.key()).path() == u"."_s || folders.contains(QFileInfo(it.key()).path()))
                writeFileBytes(root + u'/' + it.key(), contents.value(it.value()));
        }
    }

    void rename(const Call &call)
    {
        switch (call.kind) {
        case Call::Create: files[call.path] = call.inode; break;
        case Call::MakeFolder: folders << call.path; break;
        case Call::Link: files[call.target] = files.value(call.path); break;
        case Call::Rename: files[call.target] = files.take(call.path); break;
        case Call::Unlink: files.remove(call.path); break;
        default: break;
        }
    }
};

// What of a change of content may reach the disk on its own: a sector of a
// write's data, the growth a write brought (to `end`, zeros first), a truncation.
struct Piece {
    qsizetype call;
    qint64 begin, end;
    bool growth;

    void applyTo(Disk &disk, const Call &change) const
    {
        QByteArray &bytes = disk.contents[change.inode];
        bytes.resize(change.kind == Call::Truncate ? change.offset : std::max(bytes.size(), qsizetype(end)), '\0');
        if (change.kind == Call::Write && !growth)
            bytes.replace(begin, end - begin, change.bytes.mid(begin - change.offset, end - begin));
    }
};

QList<Piece> piecesOf(qsizetype index, const Call &call, qint64 sizeBefore)
{
    if (call.kind == Call::Truncate)
        return {{index, 0, 0, false}};
    QList<Piece> pieces;
    const qint64 end = call.offset + call.bytes.size();
    for (qint64 begin = call.offset; begin < end; begin = (begin / kSector + 1) * kSector)
        pieces.append({index, begin, std::min(end, (begin / kSector + 1) * kSector), false});
    if (end > sizeBefore)
        pieces.append({index, sizeBefore, end, true});
    return pieces;
}

// What any state must hold: QM.dbf as before or after (after, once the
// operation has reported success), each backup as it was made, and the day's
// backup, made by this operation, before the act goes in.
struct Expected {
    QList<QStringList> before, after;
    QMap<QString, QList<QStringList>> backups;  // file name -> acts
    QString madeToday;
};

QString problemIn(const QString &root, const Expected &expected, bool reportedDone)
{
    try {
        DbfArchive archive(root);
        const QList<QStringList> records = storedRecords(archive);
        if (records != expected.before && records != expected.after)
            return u"QM.dbf holds %1 acts, neither those before nor those after"_s.arg(records.size());
        if (reportedDone && records != expected.after)
            return u"the operation reported success, but QM.dbf opens as before it"_s;
        if (!expected.madeToday.isEmpty() && records == expected.after
            && !QFile::exists(archiveBackupFolder(root) + u'/' + expected.madeToday))
            return u"the act is in QM.dbf, but the day's backup is not there"_s;
        for (const ArchiveBackupFile &backup : listArchiveBackups(archiveBackupFolder(root))) {
            if (storedRecords(backup.path) != expected.backups.value(QFileInfo(backup.path).fileName()))
                return u"backup %1 does not hold the acts it was made with"_s.arg(backup.path);
        }
    } catch (const Failure &failure) {
        return u"refused: %1 %2"_s.arg(failure.number()).arg(failure.description());
    }
    return {};
}

// Runs the operation with its calls recorded, then opens every state a power
// cut during it, or after it, could leave. Returns the number of states tried.
qsizetype tryEveryCrashState(const QString &root, const std::function<void()> &operation, const Expected &expected)
{
    const Disk initial = Disk::of(root);
    QList<Call> calls;
    {
        const Recorder recorder(root);
        operation();
        calls = recorder.calls;
    }
    QList<QList<Piece>> pieces;
    for (Disk whole = initial; const Call &call : calls) {
        pieces << piecesOf(pieces.size(), call, whole.contents.value(call.inode).size());
        for (const Piece &piece : pieces.constLast())
            piece.applyTo(whole, call);
    }

    const QTemporaryDir stateFolder(QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm/qm-crash-XXXXXX"_s
                                                                          : QDir::tempPath() + u"/qm-crash-XXXXXX"_s);
    qsizetype tried = 0;
    for (qsizetype count = 0; count <= calls.size(); ++count) {
        // Walking back from the cut: a call is durable when a later sync of
        // its file, or of its folder, completed before the cut.
        QSet<ino_t> syncedFiles;
        QSet<QString> syncedFolders;
        QList<Piece> durable, pending;
        QMap<QString, QList<qsizetype>> pendingNames;  // folder -> calls in order
        for (qsizetype i = count - 1; i >= 0; --i) {
            const Call &call = calls[i];
            if (call.kind == Call::SyncFile)
                syncedFiles.insert(call.inode);
            if (call.kind == Call::SyncFolder)
                syncedFolders.insert(QFileInfo(call.path).path());
            if (call.changesContent())
                (syncedFiles.contains(call.inode) ? durable : pending) += pieces[i];
            else if (call.changesNames() && !syncedFolders.contains(call.folder()))
                pendingNames[call.folder()].prepend(i);
        }
        qint64 states = qint64(1) << std::min<qsizetype>(pending.size(), 40);
        for (const QList<qsizetype> &folder : pendingNames)
            states *= folder.size() + 1;
        const bool sampled = states > kMostStatesEnumerated;
        QRandomGenerator random{quint32(count)};
        for (qint64 state = 0; state < (sampled ? kStatesSampled : states); ++state) {
            // One state: its index read as a number of mixed radix, or drawn at random.
            quint64 rest = quint64(state);
            const auto choose = [&](quint64 options) {
                const quint64 digit = sampled ? random.bounded(options) : rest % options;
                rest /= options;
                return digit;
            };
            QList<Piece> reached = durable;
            QString lost;
            for (const Piece &piece : pending) {
                if (choose(2))
                    reached << piece;
                else
                    lost += u"\n    "_s + calls[piece.call].text() + u" [%1, %2)"_s.arg(piece.begin).arg(piece.end);
            }
            QSet<qsizetype> lostNames;
            for (const QList<qsizetype> &folder : pendingNames)
                lostNames.unite(QSet<qsizetype>(folder.begin() + qsizetype(choose(folder.size() + 1)), folder.end()));

            Disk disk = initial;
            for (qsizetype i = 0; i < count; ++i) {
                if (calls[i].changesNames() && !lostNames.contains(i))
                    disk.rename(calls[i]);
            }
            std::stable_sort(reached.begin(), reached.end(),
                             [](const Piece &a, const Piece &b) { return a.call < b.call; });
            for (const Piece &piece : reached)
                piece.applyTo(disk, calls[piece.call]);
            disk.writeTo(stateFolder.path());
            if (const QString problem = problemIn(stateFolder.path(), expected, count == calls.size());
                !problem.isEmpty()) {
                QString cut;
                for (qsizetype i = 0; i < count; ++i)
                    cut += u"\n    "_s + calls[i].text();
                QTest::qFail(qPrintable(u"%1\n  cut after:%2\n  lost:%3"_s.arg(problem, cut, lost)), __FILE__,
                             __LINE__);
                return tried;
            }
            ++tried;
        }
    }
    return tried;
}

}  // namespace

class ArchiveCrashStatesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The first act of the day: the backup is made and older ones rotated
    // out, then the act goes in over what an append cut off earlier left.
    void firstActOfTheDayAfterAnInterruptedAppend()
    {
        TempProgramFolder folder;
        createEmptyArchive(folder.filePath(u"QM.dbf"_s));
        DbfArchive archive(folder.path(), ArchiveBackupPlan{2, [] { return kToday; }});
        DbfArchive earlier(folder.path());
        Expected expected;
        QDir().mkpath(archive.backupFolder());
        for (const auto &[id, daysAgo] : {std::pair{u"a"_s, 3}, {u"b"_s, 1}, {u"c"_s, 0}}) {
            if (daysAgo > 0) {
                const QString name = archiveBackupFileName(kToday.addDays(-daysAgo));
                QFile::copy(archive.filePath(), archive.backupFolder() + u'/' + name);
                expected.backups.insert(name, storedRecords(earlier));
            }
            SaveActToArchive(NumberedAct{id}.value(), earlier);
        }
        writeFileBytes(archive.filePath(), fileBytes(archive.filePath()).chopped(1) + QByteArray(" cut off"));
        writeFileBytes(archive.backupFolder() + u"/.QM-2026-03-11.dbf.1f.tmp"_s, "half a copy");

        expected.before = actsNamed({u"a"_s, u"b"_s, u"c"_s});
        expected.after = actsNamed({u"a"_s, u"b"_s, u"c"_s, u"d"_s});
        expected.madeToday = archiveBackupFileName(kToday);
        expected.backups.insert(expected.madeToday, expected.before);
        const qsizetype states = tryEveryCrashState(
            folder.path(), [&] { saveActs(archive, {u"d"_s}); }, expected);
        qInfo("%lld crash states of the first act of a day", qint64(states));
    }

    void laterActAndDeletion()
    {
        TempProgramFolder folder;
        createEmptyArchive(folder.filePath(u"QM.dbf"_s));
        DbfArchive archive(folder.path(), ArchiveBackupPlan{30, [] { return kToday; }});
        saveActs(archive, {u"a"_s, u"b"_s, u"c"_s});
        Expected expected{actsNamed({u"a"_s, u"b"_s, u"c"_s}),
                          actsNamed({u"a"_s, u"b"_s, u"c"_s, u"d"_s}),
                          {{archiveBackupFileName(kToday), {}}},
                          {}};
        qsizetype states = tryEveryCrashState(
            folder.path(), [&] { saveActs(archive, {u"d"_s}); }, expected);

        expected.before = expected.after;
        expected.after = actsNamed({u"a"_s, u"c"_s, u"d"_s});
        if (!QTest::currentTestFailed())
            states += tryEveryCrashState(
                folder.path(), [&] { deleteAt(archive, 1); }, expected);
        qInfo("%lld crash states of a later act and a deletion", qint64(states));
    }
};

}  // namespace qm::test

QTEST_GUILESS_MAIN(qm::test::ArchiveCrashStatesTest)
#include "test_archive_crash_states.moc"
