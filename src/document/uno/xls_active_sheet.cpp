#include "document/uno/xls_active_sheet.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace qm::calc {

namespace {

// Compound file ("OLE storage") layout.
constexpr char compoundSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::uint32_t endOfChain = 0xFFFFFFFE;
constexpr int headerSize = 512;
constexpr int directoryEntrySize = 128;
constexpr int headerFatSlots = 109;

// BIFF records of the workbook globals.
constexpr std::uint16_t bofRecord = 0x0809;
constexpr std::uint16_t eofRecord = 0x000A;
constexpr std::uint16_t window1Record = 0x003D;
constexpr int window1ActiveTabOffset = 10;

class Bytes {
public:
    explicit Bytes(const QByteArray &data) : data_(data) {}

    bool has(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset + length <= data_.size();
    }
    std::uint16_t u16(qint64 offset) const { return static_cast<std::uint16_t>(byte(offset) | byte(offset + 1) << 8); }
    std::uint32_t u32(qint64 offset) const
    {
        return static_cast<std::uint32_t>(u16(offset)) | static_cast<std::uint32_t>(u16(offset + 2)) << 16;
    }
    QByteArray mid(qint64 offset, qint64 length) const { return data_.mid(offset, length); }
    QByteArrayView view(qint64 offset, qint64 length) const { return QByteArrayView(data_).sliced(offset, length); }
    qint64 size() const { return data_.size(); }

private:
    unsigned byte(qint64 offset) const { return static_cast<unsigned char>(data_.at(offset)); }
    const QByteArray &data_;
};

class CompoundFile {
public:
    explicit CompoundFile(const QByteArray &data) : bytes_(data) {}

    bool open()
    {
        if (!bytes_.has(0, headerSize) || bytes_.mid(0, 8) != QByteArray(compoundSignature, 8))
            return false;
        const int sectorShift = bytes_.u16(0x1E);
        const int miniShift = bytes_.u16(0x20);
        if ((sectorShift != 9 && sectorShift != 12) || miniShift != 6)
            return false;
        sectorSize_ = 1 << sectorShift;
        miniCutoff_ = bytes_.u32(0x38);
        return readFat() && readMiniFat();
    }

    // The contents of the stream with this name, or nothing.
    std::optional<QByteArray> stream(const QString &name) const
    {
        const std::optional<QByteArray> directory = chain(bytes_.u32(0x30), fat_, false);
        if (!directory)
            return std::nullopt;
        const Bytes entries(*directory);
        // Small streams live in the root's stream, read only when one is
        // wanted, and only from the first root: a directory of many roots
        // must not make the reader copy the same stream for each.
        std::optional<std::uint32_t> miniStreamStart;
        for (qint64 at = 0; entries.has(at, directoryEntrySize); at += directoryEntrySize) {
            const int type = static_cast<unsigned char>(directory->at(at + 0x42));
            const std::uint32_t start = entries.u32(at + 0x74);
            const std::uint32_t size = entries.u32(at + 0x78);
            if (type == 5) {
                if (!miniStreamStart)
                    miniStreamStart = start;
                continue;
            }
            const int nameBytes = entries.u16(at + 0x40);
            if (type != 2 || nameBytes < 2 || nameBytes > 64)
                continue;
            QString entryName;
            for (int i = 0; i < nameBytes / 2 - 1; ++i)
                entryName += QChar(entries.u16(at + 2 * i));
            if (entryName != name)
                continue;
            std::optional<QByteArray> contents;
            if (size < miniCutoff_) {
                if (miniStreamStart)
                    if (const std::optional<QByteArray> miniStream = chain(*miniStreamStart, fat_, false))
                        contents = chain(start, miniFat_, true, &*miniStream);
            } else {
                contents = chain(start, fat_, false);
            }
            if (!contents || contents->size() < size)
                return std::nullopt;
            return contents->left(size);
        }
        return std::nullopt;
    }

private:
    qint64 sectorOffset(std::uint32_t sector) const { return (static_cast<qint64>(sector) + 1) * sectorSize_; }

    bool appendFatSector(std::uint32_t sector)
    {
        if (!bytes_.has(sectorOffset(sector), sectorSize_))
            return false;
        for (int i = 0; i < sectorSize_ / 4; ++i)
            fat_.push_back(bytes_.u32(sectorOffset(sector) + 4 * i));
        return true;
    }

    bool readFat()
    {
        const std::uint32_t fatSectors = bytes_.u32(0x2C);
        const qint64 maxSectors = bytes_.size() / sectorSize_;
        if (fatSectors > maxSectors)
            return false;
        std::uint32_t read = 0;
        for (int i = 0; i < headerFatSlots && read < fatSectors; ++i, ++read)
            if (!appendFatSector(bytes_.u32(0x4C + 4 * i)))
                return false;
        // Larger files list the rest of their allocation table in a chain of
        // further sectors, each ending with the next one's number.
        std::uint32_t difat = bytes_.u32(0x44);
        for (qint64 hops = 0; read < fatSectors; ++hops) {
            if (hops > maxSectors || !bytes_.has(sectorOffset(difat), sectorSize_))
                return false;
            const int slots = sectorSize_ / 4 - 1;
            for (int i = 0; i < slots && read < fatSectors; ++i, ++read)
                if (!appendFatSector(bytes_.u32(sectorOffset(difat) + 4 * i)))
                    return false;
            difat = bytes_.u32(sectorOffset(difat) + 4 * slots);
        }
        return true;
    }

    bool readMiniFat()
    {
        if (bytes_.u32(0x40) == 0)
            return true;
        const std::optional<QByteArray> table = chain(bytes_.u32(0x3C), fat_, false);
        if (!table)
            return false;
        const Bytes entries(*table);
        for (qint64 at = 0; entries.has(at, 4); at += 4)
            miniFat_.push_back(entries.u32(at));
        return true;
    }

    // Follows a sector chain; a chain that loops or leaves the file is refused.
    // A sound chain passes each sector once, so one longer than the sectors
    // there are has looped: refused there, before it could copy the same
    // sectors again and again into a stream many times the file's size.
    std::optional<QByteArray> chain(std::uint32_t sector, const std::vector<std::uint32_t> &table, bool mini,
                                    const QByteArray *miniStream = nullptr) const
    {
        const int size = mini ? 64 : sectorSize_;
        const qint64 sectors = mini ? miniStream->size() / size : bytes_.size() / sectorSize_ - 1;
        QByteArray out;
        for (qint64 hops = 0; sector != endOfChain; ++hops) {
            if (hops >= sectors || sector >= table.size())
                return std::nullopt;
            if (mini) {
                const qint64 offset = static_cast<qint64>(sector) * size;
                if (offset + size > miniStream->size())
                    return std::nullopt;
                out += QByteArrayView(*miniStream).sliced(offset, size);
            } else {
                if (!bytes_.has(sectorOffset(sector), size))
                    return std::nullopt;
                out += bytes_.view(sectorOffset(sector), size);
            }
            sector = table[sector];
        }
        return out;
    }

    Bytes bytes_;
    int sectorSize_ = 512;
    std::uint32_t miniCutoff_ = 4096;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
};

}  // namespace

std::optional<int> xlsActiveSheetIndex(const QByteArray &file)
{
    CompoundFile compound(file);
    if (!compound.open())
        return std::nullopt;
    std::optional<QByteArray> workbook = compound.stream(QStringLiteral("Workbook"));
    if (!workbook)
        workbook = compound.stream(QStringLiteral("Book"));
    if (!workbook)
        return std::nullopt;

    const Bytes records(*workbook);
    if (!records.has(0, 4) || records.u16(0) != bofRecord)
        return std::nullopt;
    for (qint64 at = 0; records.has(at, 4);) {
        const std::uint16_t id = records.u16(at);
        const std::uint16_t length = records.u16(at + 2);
        if (!records.has(at + 4, length))
            return std::nullopt;
        if (id == window1Record && length >= window1ActiveTabOffset + 2)
            return records.u16(at + 4 + window1ActiveTabOffset);
        if (id == eofRecord)
            return std::nullopt;
        at += 4 + length;
    }
    return std::nullopt;
}

}  // namespace qm::calc
