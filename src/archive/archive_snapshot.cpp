#include "archive/archive_snapshot.h"

#include "archive/os_failure.h"

#include <QFile>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

// As the record set reads: a few system calls for a whole pass, and a buffer
// small beside the program.
constexpr qint64 kReadBlockBytes = 1 << 20;

}  // namespace

ArchiveSnapshot::ArchiveSnapshot(const QString &path, std::chrono::milliseconds lockTimeout)
    : path_(path), tableLabel_(u"QM (%1)"_s.arg(path))
{
    // A descriptor of our own, opened before the locked one: closing it later
    // cannot release a lock (the archive's locks belong to the open file
    // description that took them), and comparing the two tells that both
    // read the same file.
    fd_ = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw osFailure(errno, u"открыть"_s, path_);
    try {
        struct stat status {};
        if (::fstat(fd_, &status) != 0)
            throw osFailure(errno, u"прочитать сведения о"_s, path_);
        // Room for the digests of the records the header counts now (it is
        // read again under the lock): the vector is not to move while it grows.
        unsigned char prefix[8] = {};
        if (::pread(fd_, prefix, sizeof prefix, 0) == qint64(sizeof prefix))
            digests_.reserve(qFromLittleEndian<quint32>(prefix + 4));
        DbfFile file(path_, DbfOpenMode::Read, lockTimeout, [this](std::uint32_t, QByteArrayView record) {
            digests_.push_back(dbfRecordDigest(record));
        });
        if (file.identity() != DbfFileIdentity{quint64(status.st_dev), quint64(status.st_ino)}) {
            throw Failure(FailureCode::FileNotFound,
                          u"Файл архива %1 заменён другой программой, пока его читали: откройте архив ещё раз"_s
                              .arg(path_));
        }
        header_ = file.header();
        codePage_ = file.codePage();
        indexes_ = file.takeLiveRecords();
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

ArchiveSnapshot::~ArchiveSnapshot()
{
    ::close(fd_);
}

void ArchiveSnapshot::remove(int position)
{
    indexes_.erase(indexes_.begin() + position);
    digests_.erase(digests_.begin() + position);
}

void ArchiveSnapshot::readAt(qint64 offset, qint64 length, char *into) const
{
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd_, into + done, size_t(length - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw osFailure(errno, u"прочитать"_s, path_);
        if (n == 0) {
            throw Failure(FailureCode::TableCorrupt,
                          u"Файл архива %1 стал короче, чем был, когда открыли список: его урезала другая программа"_s
                              .arg(path_));
        }
        done += n;
    }
}

void ArchiveSnapshot::read(const std::vector<int> *positions, const Visit &visit) const
{
    const qint64 recordLength = header_.recordLength;
    const std::uint32_t perBlock = std::uint32_t(std::max<qint64>(1, kReadBlockBytes / recordLength));
    const std::size_t count = positions ? positions->size() : indexes_.size();
    const auto positionAt = [positions](std::size_t i) { return positions ? (*positions)[i] : int(i); };
    // Records close together are read as one block, far apart ones each on their own.
    for (std::size_t i = 0; i < count;) {
        const std::uint32_t first = indexes_[std::size_t(positionAt(i))];
        std::size_t end = i + 1;
        while (end < count && indexes_[std::size_t(positionAt(end))] - first < perBlock)
            ++end;
        const std::uint32_t last = indexes_[std::size_t(positionAt(end - 1))];
        const qint64 length = qint64(last - first + 1) * recordLength;
        if (block_.size() < length)
            block_.resize(length);
        readAt(header_.headerLength + qint64(first) * recordLength, length, block_.data());
        const QByteArrayView bytes(block_.constData(), length);
        for (; i < end; ++i) {
            const int position = positionAt(i);
            visit(position, bytes.sliced(qint64(indexes_[std::size_t(position)] - first) * recordLength,
                                         recordLength));
        }
    }
}

QByteArray ArchiveSnapshot::record(int position) const
{
    QByteArray bytes(header_.recordLength, Qt::Uninitialized);
    readAt(header_.headerLength + qint64(indexes_[std::size_t(position)]) * header_.recordLength, bytes.size(),
           bytes.data());
    return bytes;
}

}  // namespace qm
