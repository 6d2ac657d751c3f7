#include "archive/empty_archive.h"

#include "archive/archive_failures.h"
#include "archive/archive_table.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

// A settings value is read into a buffer of 255 bytes, its terminator included.
constexpr int kLongestSettingsValue = 254;

DbfField textField(QStringView name, int width)
{
    return DbfField{name.toString(), 'C', width, 0, 0};
}

DbfField logicalField(QStringView name)
{
    return DbfField{name.toString(), 'L', 1, 0, 0};
}

void writeAll(int fd, const QByteArray &bytes, const QString &path)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw osFailure(n < 0 ? errno : ENOSPC, u"записать"_s, path);
        done += n;
    }
    if (::fsync(fd) != 0)
        throw osFailure(errno, u"записать"_s, path);
}

}  // namespace

std::vector<DbfField> archiveFieldLayout()
{
    using namespace ArchiveField;
    return {textField(ACTDATE, 10),
            textField(MECHNAME, kLongestSettingsValue),
            textField(TYPEKKM, kLongestSettingsValue),
            textField(ZAVNUM, 12),
            textField(GODVYP, 4),
            textField(PRICHINA, 60),
            textField(INN, 12),
            textField(EKLZREG, 10),
            textField(NAMEORG, 40),
            logicalField(E_SOHRAN),
            logicalField(E_READABLE)};
}

void createEmptyArchive(const QString &path)
{
    createEmptyArchive(path, archiveFieldLayout());
}

void createEmptyArchive(const QString &path, const std::vector<DbfField> &fields)
{
    const DbfHeader header = layoutDbfHeader(fields, kDbfLdidWindows1251, QDate::currentDate());
    const QByteArray bytes = encodeDbfHeader(header) + kDbfEndOfFile;

    const QByteArray nativePath = QFile::encodeName(path);
    const int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) {
        throw Failure(ArchiveFailureCode::FileAlreadyExists,
                      u"Файл %1 уже существует и не будет перезаписан"_s.arg(path));
    }
    if (fd < 0)
        throw osFailure(errno, u"создать"_s, path);
    try {
        writeAll(fd, bytes, path);
    } catch (...) {
        ::close(fd);
        ::unlink(nativePath.constData());
        throw;
    }
    ::close(fd);
}

}  // namespace qm
