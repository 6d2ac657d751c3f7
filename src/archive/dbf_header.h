#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

namespace qm {

// One column of a dBASE table as its 32-byte descriptor states it.
struct DbfField {
    QString name;
    char type = 'C';  // C text, L logical, D date (YYYYMMDD), N/F number
    int width = 0;
    int decimals = 0;
    int offset = 0;  // from the start of the record, after the deletion flag
};

// The fixed header of a dBASE III style file and its field descriptors.
struct DbfHeader {
    std::uint8_t version = 0x03;
    QDate lastUpdate;
    std::uint32_t recordCount = 0;
    int headerLength = 0;
    int recordLength = 0;
    std::uint8_t languageDriver = 0;
    std::vector<DbfField> fields;

    // Where the committed records end: the 0x1A end mark or an uncommitted append starts here.
    qint64 committedEnd() const { return qint64(headerLength) + qint64(recordCount) * qint64(recordLength); }
};

inline constexpr int kDbfPrefixLength = 32;
inline constexpr int kDbfDescriptorLength = 32;
inline constexpr char kDbfHeaderTerminator = 0x0D;
inline constexpr char kDbfEndOfFile = 0x1A;
inline constexpr char kDbfLiveFlag = ' ';
inline constexpr char kDbfDeletedFlag = '*';
inline constexpr std::uint8_t kDbfLdidWindows1251 = 0xC9;

// Reads the header from the first bytes of a file (at least headerLength of
// them, or everything the file has). Anything malformed is refused with
// Failure 3049 naming filePath.
DbfHeader parseDbfHeader(const QByteArray &bytes, const QString &filePath);

// The first 32 bytes of a header (version, date, count, lengths, language driver).
QByteArray encodeDbfPrefix(const DbfHeader &header);

// The whole header of a table with these fields, laid out from scratch.
DbfHeader layoutDbfHeader(std::vector<DbfField> fields, std::uint8_t languageDriver, const QDate &date);
QByteArray encodeDbfHeader(const DbfHeader &header);

}  // namespace qm
