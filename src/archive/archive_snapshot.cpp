#include "archive/archive_snapshot.h"

#include "archive/archive_failures.h"
#include "archive/file_calls.h"

#include <QFile>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <utility>

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
    struct stat status {};
    fd_ = openWithStatus(path_, O_RDONLY | O_CLOEXEC, status);
    try {
        // Room for the digests of the records the header counts now (it is
        // read again under the lock): the vector is not to move while it grows.
        // A damaged header may count more than the file could hold; that is
        // for the reading below to refuse, not for the reservation to fail on.
        unsigned char prefix[12] = {};
        if (::pread(fd_, prefix, sizeof prefix, 0) == qint64(sizeof prefix)) {
            const quint64 recordLength = std::max<quint64>(qFromLittleEndian<quint16>(prefix + 10), 1);
            const quint64 fits = quint64(std::max<qint64>(status.st_size, 0)) / recordLength;
            digests_.reserve(std::size_t(std::min<quint64>(qFromLittleEndian<quint32>(prefix + 4), fits)));
        }
        DbfFile file(path_, DbfOpenMode::Read, lockTimeout, [this](std::uint32_t index, QByteArrayView record) {
            indexes_.append(index);
            digests_.push_back(dbfRecordDigest(record));
        });
        if (file.identity() != DbfFileIdentity{quint64(status.st_dev), quint64(status.st_ino)}) {
            throw Failure(
                FailureCode::FileNotFound,
                u"Файл архива %1 заменён другой программой, пока его читали: откройте архив ещё раз"_s.arg(path_));
        }
        header_ = file.header();
        codePage_ = file.codePage();
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
    indexes_.remove(position);
    digests_.erase(digests_.begin() + position);
}

void ArchiveSnapshot::readAt(qint64 offset, qint64 length, char *into) const
{
    if (!readWhole(fd_, into, length, offset, path_)) {
        throw Failure(
            FailureCode::TableCorrupt,
            u"Файл архива %1 стал короче, чем был, когда открыли список: его урезала другая программа"_s.arg(path_));
    }
}

namespace {

// The first position at or after `from` whose bit is set, `count` for none.
int nextPosition(const std::vector<quint64> *bits, int from, int count)
{
    if (!bits || from >= count)
        return std::min(from, count);
    std::size_t word = std::size_t(from) / 64;
    quint64 rest = (*bits)[word] & (~quint64(0) << (from % 64));
    while (rest == 0) {
        if (++word >= bits->size())
            return count;
        rest = (*bits)[word];
    }
    return std::min(count, int(word * 64 + std::size_t(std::countr_zero(rest))));
}

}  // namespace

void ArchiveSnapshot::read(const std::vector<quint64> *positions, const Visit &visit) const
{
    const qint64 recordLength = header_.recordLength;
    const std::uint32_t perBlock = std::uint32_t(std::max<qint64>(1, kReadBlockBytes / recordLength));
    const int count = indexes_.size();
    std::vector<std::pair<int, std::uint32_t>> inBlock;  // position, index
    // Records close together are read as one block, far apart ones each on their own.
    for (int position = nextPosition(positions, 0, count); position < count;) {
        const std::uint32_t first = indexes_.at(position);
        inBlock.clear();
        for (; position < count; position = nextPosition(positions, position + 1, count)) {
            const std::uint32_t index = indexes_.at(position);
            if (index - first >= perBlock)
                break;
            inBlock.emplace_back(position, index);
        }
        const qint64 length = qint64(inBlock.back().second - first + 1) * recordLength;
        if (block_.size() < length)
            block_.resize(length);
        readAt(header_.headerLength + qint64(first) * recordLength, length, block_.data());
        const QByteArrayView bytes(block_.constData(), length);
        for (const auto &[at, index] : inBlock)
            visit(at, bytes.sliced(qint64(index - first) * recordLength, recordLength));
    }
}

QByteArray ArchiveSnapshot::record(int position) const
{
    QByteArray bytes(header_.recordLength, Qt::Uninitialized);
    readAt(header_.headerLength + qint64(indexes_.at(position)) * header_.recordLength, bytes.size(), bytes.data());
    return bytes;
}

}  // namespace qm
