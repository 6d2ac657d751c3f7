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
#include "archive/commands/save_act.h"
#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "archive/file_calls.h"
#include "archive_contents.h"
#include "archive_test_helpers.h"
#include "numbered_act.h"
#include "support/temp_program_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QRandomGenerator>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

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
    QString path, target;   // relative to the program folder
    qint64 offset = 0;      // where a write starts; a truncation's length
    QByteArray bytes;

    bool changesContent() const { return kind == Write || kind == Truncate; }
    bool changesNames() const { return kind >= Create; }
    QString folder() const { return QFileInfo(target.isEmpty() ? path : target).path(); }
};

ino_t inodeOf(int fd)
{
    struct stat status {};
    ::fstat(fd, &status);
    return status.st_ino;
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
            calls.append({Call::Write, inodeOf(fd), {}, {}, offset, QByteArray(static_cast<const char *>(data), n)});
        return n;
    }
    int ftruncate(int fd, off_t length) override
    {
        return noted(FileCalls::ftruncate(fd, length), {Call::Truncate, inodeOf(fd), {}, {}, length, {}});
    }
    int fsync(int fd) override
    {
        struct stat status {};
        ::fstat(fd, &status);
        if (!S_ISDIR(status.st_mode))
            return noted(FileCalls::fsync(fd), {Call::SyncFile, status.st_ino, {}, {}, 0, {}});
        const QString folder = QFileInfo(u"/proc/self/fd/%1"_s.arg(fd)).symLinkTarget();
        return noted(FileCalls::fsync(fd), {Call::SyncFolder, 0, relative(folder) + u"/."_s, {}, 0, {}});
    }
    int create(const char *path, int flags, mode_t mode) override
    {
        const int fd = FileCalls::create(path, flags, mode);
        if (fd >= 0)
            calls.append({Call::Create, inodeOf(fd), relative(path), {}, 0, {}});
        return fd;
    }
    int mkdir(const char *path, mode_t mode) override
    {
        return noted(FileCalls::mkdir(path, mode), {Call::MakeFolder, 0, relative(path), {}, 0, {}});
    }
    int link(const char *existing, const char *newName) override
    {
        return noted(FileCalls::link(existing, newName), {Call::Link, 0, relative(existing), relative(newName), 0, {}});
    }
    int rename(const char *from, const char *to) override
    {
        return noted(FileCalls::rename(from, to), {Call::Rename, 0, relative(from), relative(to), 0, {}});
    }
    int renameNoReplace(const char *from, const char *to) override
    {
        return noted(FileCalls::renameNoReplace(from, to), {Call::Rename, 0, relative(from), relative(to), 0, {}});
    }
    int unlink(const char *path) override
    {
        return noted(FileCalls::unlink(path), {Call::Unlink, 0, relative(path), {}, 0, {}});
    }

    QList<Call> calls;

private:
    int noted(int result, Call call)
    {
        if (result == 0)
            calls.append(std::move(call));
        return result;
    }
    QString relative(const QString &path) const { return QDir(root_).relativeFilePath(path); }
    QString relative(const char *path) const { return relative(QFile::decodeName(path)); }

    QString root_;
};

// What a disk holds: names of files and folders, and each file's bytes.
struct Disk {
    QMap<QString, ino_t> files;
    QStringList folders;
    QHash<ino_t, QByteArray> contents;
};

Disk snapshot(const QString &root)
{
    Disk disk;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(root).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            disk.folders << name;
            continue;
        }
        struct stat status {};
        ::stat(QFile::encodeName(path).constData(), &status);
        disk.files[name] = status.st_ino;
        disk.contents[status.st_ino] = fileBytes(path);
    }
    return disk;
}

void materialize(const Disk &disk, const QString &root)
{
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    for (const QString &folder : disk.folders)
        QDir(root).mkpath(folder);
    for (auto it = disk.files.cbegin(); it != disk.files.cend(); ++it) {
        // A file in a folder whose own name never reached the disk is lost with it.
        const QString folder = QFileInfo(it.key()).path();
        if (folder == u"."_s || disk.folders.contains(folder))
            writeFileBytes(root + u'/' + it.key(), disk.contents.value(it.value()));
    }
}

QList<QStringList> actsInFile(const QString &path)
{
    const QTemporaryDir folder(QFileInfo(path).path() + u"/../open-XXXXXX"_s);
    QFile::copy(path, folder.filePath(u"QM.dbf"_s));
    DbfArchive archive(folder.path());
    return storedRecords(archive);
}

// One piece of a write that may or may not have reached the disk: a sector of
// its data, or the growth of the file it brought (to `end`, zeros first).
struct Piece {
    qsizetype call;
    qint64 begin, end;
    bool growth;
};

void applyWhole(Disk &disk, const Call &call)
{
    QByteArray &bytes = disk.contents[call.inode];
    switch (call.kind) {
    case Call::Write:
        if (bytes.size() < call.offset + call.bytes.size())
            bytes.resize(call.offset + call.bytes.size(), '\0');
        bytes.replace(call.offset, call.bytes.size(), call.bytes);
        break;
    case Call::Truncate: bytes.resize(call.offset, '\0'); break;
    case Call::Create: disk.files[call.path] = call.inode; break;
    case Call::MakeFolder: disk.folders << call.path; break;
    case Call::Link: disk.files[call.target] = disk.files.value(call.path); break;
    case Call::Rename: disk.files[call.target] = disk.files.take(call.path); break;
    case Call::Unlink: disk.files.remove(call.path); break;
    case Call::SyncFile:
    case Call::SyncFolder: break;
    }
}

void applyPiece(Disk &disk, const Call &call, const Piece &piece)
{
    QByteArray &bytes = disk.contents[call.inode];
    if (call.kind == Call::Truncate) {
        bytes.resize(call.offset, '\0');
    } else if (piece.growth) {
        bytes.resize(std::max(bytes.size(), qsizetype(piece.end)), '\0');
    } else {
        bytes.resize(std::max(bytes.size(), qsizetype(piece.end)), '\0');
        const qint64 length = piece.end - piece.begin;
        bytes.replace(piece.begin, length, call.bytes.mid(piece.begin - call.offset, length));
    }
}

// The pieces of the calls in [0, count) that no later sync in that range made durable,
// and the changes of names per folder that no later sync of the folder did.
struct Pending {
    QList<Piece> pieces;
    QMap<QString, QList<qsizetype>> names;   // folder -> calls in order
    QSet<qsizetype> durable;
};

Pending pendingAfter(const QList<Call> &calls, const QList<qint64> &sizeBefore, qsizetype count)
{
    Pending pending;
    QSet<ino_t> syncedFiles;
    QSet<QString> syncedFolders;
    for (qsizetype i = count - 1; i >= 0; --i) {
        const Call &call = calls[i];
        if (call.kind == Call::SyncFile)
            syncedFiles.insert(call.inode);
        else if (call.kind == Call::SyncFolder)
            syncedFolders.insert(QFileInfo(call.path).path());
        const bool durable = (call.changesContent() && syncedFiles.contains(call.inode))
            || (call.changesNames() && syncedFolders.contains(call.folder()));
        if (durable || !(call.changesContent() || call.changesNames())) {
            pending.durable.insert(i);
        } else if (call.changesNames()) {
            pending.names[call.folder()].prepend(i);
        } else if (call.kind == Call::Truncate) {
            pending.pieces.append({i, 0, 0, false});
        } else {
            const qint64 end = call.offset + call.bytes.size();
            for (qint64 begin = call.offset; begin < end; begin = (begin / kSector + 1) * kSector)
                pending.pieces.append({i, begin, std::min(end, (begin / kSector + 1) * kSector), false});
            if (end > sizeBefore[i])
                pending.pieces.append({i, sizeBefore[i], end, true});
        }
    }
    return pending;
}

QString describe(const Call &call, const QHash<ino_t, QString> &names)
{
    const QString file = names.value(call.inode, call.path);
    switch (call.kind) {
    case Call::Write: return u"write %1 bytes at %2 of %3"_s.arg(call.bytes.size()).arg(call.offset).arg(file);
    case Call::Truncate: return u"truncate %1 to %2"_s.arg(file).arg(call.offset);
    case Call::SyncFile: return u"fsync %1"_s.arg(file);
    case Call::SyncFolder: return u"fsync folder %1"_s.arg(QFileInfo(call.path).path());
    case Call::Create: return u"create %1"_s.arg(call.path);
    case Call::MakeFolder: return u"mkdir %1"_s.arg(call.path);
    case Call::Link: return u"link %1 to %2"_s.arg(call.path, call.target);
    case Call::Rename: return u"rename %1 to %2"_s.arg(call.path, call.target);
    case Call::Unlink: return u"unlink %1"_s.arg(call.path);
    }
    return {};
}

// What any state must hold: QM.dbf as before or after (after, once the
// operation has reported success), and each backup as it was made.
struct Expected {
    QList<QStringList> before, after;
    QMap<QString, QList<QStringList>> backups;   // file name -> acts
    QString madeToday;                           // the backup this operation makes, if any
};

QString problemIn(const QString &root, const Expected &expected, bool reportedDone)
{
    QList<QStringList> records;
    try {
        DbfArchive archive(root);
        records = storedRecords(archive);
    } catch (const Failure &failure) {
        return u"QM.dbf is refused: %1 %2"_s.arg(failure.number()).arg(failure.description());
    }
    if (records != expected.before && records != expected.after)
        return u"QM.dbf holds %1 acts, neither those before nor those after"_s.arg(records.size());
    if (reportedDone && records != expected.after)
        return u"the operation reported success, but QM.dbf opens as before it"_s;
    for (const ArchiveBackupFile &backup : listArchiveBackups(archiveBackupFolder(root))) {
        const QString name = QFileInfo(backup.path).fileName();
        try {
            if (actsInFile(backup.path) != expected.backups.value(name))
                return u"backup %1 does not hold the acts it was made with"_s.arg(name);
        } catch (const Failure &failure) {
            return u"backup %1 is refused: %2"_s.arg(name, failure.description());
        }
    }
    if (!expected.madeToday.isEmpty() && records == expected.after
        && !QFile::exists(archiveBackupFolder(root) + u'/' + expected.madeToday))
        return u"the act is in QM.dbf, but the day's backup %1 is not there"_s.arg(expected.madeToday);
    return {};
}

// Runs the operation with its calls recorded, then opens every state a power
// cut during it, or after it, could leave. Returns the number of states tried.
qsizetype tryEveryCrashState(const QString &root, const std::function<void()> &operation, const Expected &expected)
{
    const Disk initial = snapshot(root);
    QList<Call> calls;
    {
        Recorder recorder(root);
        operation();
        calls = recorder.calls;
    }
    QHash<ino_t, QString> names;
    for (auto it = initial.files.cbegin(); it != initial.files.cend(); ++it)
        names.insert(it.value(), it.key());
    QList<qint64> sizeBefore;
    Disk whole = initial;
    for (const Call &call : calls) {
        sizeBefore << whole.contents.value(call.inode).size();
        if (call.kind == Call::Create)
            names.insert(call.inode, call.path);
        applyWhole(whole, call);
    }

    // Thousands of small folders: in memory when the machine offers it.
    const QTemporaryDir stateFolder(QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm/qm-crash-XXXXXX"_s
                                                                            : QDir::tempPath() + u"/qm-crash-XXXXXX"_s);
    qsizetype tried = 0;
    for (qsizetype count = 0; count <= calls.size(); ++count) {
        const Pending pending = pendingAfter(calls, sizeBefore, count);
        qint64 states = qint64(1) << std::min<qsizetype>(pending.pieces.size(), 40);
        for (const QList<qsizetype> &folder : pending.names)
            states *= folder.size() + 1;
        const bool sampled = states > kMostStatesEnumerated;
        QRandomGenerator random{quint32(count)};
        for (qint64 state = 0; state < (sampled ? kStatesSampled : states); ++state) {
            // One state: the index read as a number of mixed radix, or drawn at random.
            quint64 rest = quint64(state);
            const auto choose = [&](quint64 options) {
                if (sampled)
                    return random.bounded(options);
                const quint64 digit = rest % options;
                rest /= options;
                return digit;
            };
            QSet<int> pieces;
            for (int p = 0; p < pending.pieces.size(); ++p) {
                if (choose(2) == 1)
                    pieces.insert(p);
            }
            QSet<qsizetype> persisted;
            for (const QList<qsizetype> &folder : pending.names) {
                const qsizetype reached = qsizetype(choose(quint64(folder.size() + 1)));
                for (qsizetype i = 0; i < reached; ++i)
                    persisted.insert(folder[i]);
            }
            Disk disk = initial;
            for (qsizetype i = 0; i < count; ++i) {
                if (pending.durable.contains(i) || persisted.contains(i))
                    applyWhole(disk, calls[i]);
            }
            for (int p = 0; p < pending.pieces.size(); ++p) {
                if (pieces.contains(p))
                    applyPiece(disk, calls[pending.pieces[p].call], pending.pieces[p]);
            }
            materialize(disk, stateFolder.path());
            const QString problem = problemIn(stateFolder.path(), expected, count == calls.size());
            if (!problem.isEmpty()) {
                // Which calls had run, and what of the unsynced ones did not reach the disk.
                QStringList lost;
                for (int p = 0; p < pending.pieces.size(); ++p) {
                    if (!pieces.contains(p))
                        lost << describe(calls[pending.pieces[p].call], names)
                                    + u" [%1, %2)%3"_s.arg(pending.pieces[p].begin)
                                          .arg(pending.pieces[p].end)
                                          .arg(pending.pieces[p].growth ? u" growth"_s : QString());
                }
                QStringList done;
                for (qsizetype i = 0; i < count; ++i)
                    done << describe(calls[i], names);
                const QString report = u"%1\n  power cut after: %2\n  lost: %3"_s.arg(problem, done.join(u"; "_s),
                                                                                   lost.join(u"; "_s));
                QTest::qFail(qPrintable(report), __FILE__, __LINE__);
                return tried;
            }
            ++tried;
        }
    }
    return tried;
}

QList<QStringList> actsNamed(const QStringList &ids)
{
    QList<QStringList> acts;
    for (const QString &id : ids)
        acts << NumberedAct{id}.storedFields();
    return acts;
}

}  // namespace

class ArchiveCrashStatesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The first act of the day: the backup is made (and older ones rotated
    // out), then the act goes in over what an append cut off earlier left.
    void firstActOfTheDayAfterAnInterruptedAppend()
    {
        TempProgramFolder folder;
        createEmptyArchive(folder.filePath(u"QM.dbf"_s));
        DbfArchive archive(folder.path(), ArchiveBackupPlan{2, [] { return kToday; }});
        DbfArchive earlier(folder.path());
        Expected expected;
        QDir().mkpath(archive.backupFolder());
        const std::pair<QString, int> days[] = {{u"a"_s, -3}, {u"b"_s, -1}, {u"c"_s, 0}};
        for (const auto &[id, day] : days) {
            if (day < 0) {
                const QString name = archiveBackupFileName(kToday.addDays(day));
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
            folder.path(), [&] { SaveActToArchive(NumberedAct{u"d"_s}.value(), archive); }, expected);
        qInfo("%lld crash states of the first act of a day", qint64(states));
    }

    void laterActAndDeletion()
    {
        TempProgramFolder folder;
        createEmptyArchive(folder.filePath(u"QM.dbf"_s));
        DbfArchive archive(folder.path(), ArchiveBackupPlan{30, [] { return kToday; }});
        for (const QString &id : {u"a"_s, u"b"_s, u"c"_s})
            SaveActToArchive(NumberedAct{id}.value(), archive);
        Expected expected;
        expected.backups.insert(archiveBackupFileName(kToday), {});
        expected.before = actsNamed({u"a"_s, u"b"_s, u"c"_s});
        expected.after = actsNamed({u"a"_s, u"b"_s, u"c"_s, u"d"_s});
        qsizetype states = tryEveryCrashState(
            folder.path(), [&] { SaveActToArchive(NumberedAct{u"d"_s}.value(), archive); }, expected);

        expected.before = expected.after;
        expected.after = actsNamed({u"a"_s, u"c"_s, u"d"_s});
        if (!QTest::currentTestFailed())
            states += tryEveryCrashState(folder.path(), [&] { deleteAt(archive, 1); }, expected);
        qInfo("%lld crash states of a later act and a deletion", qint64(states));
    }
};

}  // namespace qm::test

QTEST_GUILESS_MAIN(qm::test::ArchiveCrashStatesTest)
#include "test_archive_crash_states.moc"
