#include "archive/dbf_header.h"

#include "common/failure.h"

#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

// dBASE III and the later writers that keep its header layout. The memo
// variants are fine as long as the table has no memo column.
constexpr std::array<std::uint8_t, 6> kAcceptedVersions = {0x03, 0x04, 0x05, 0x83, 0x8B, 0xF5};

[[noreturn]] void refuse(const QString &filePath, const QString &why)
{
    throw Failure(FailureCode::TableCorrupt,
                  u"Файл архива %1 повреждён или не является таблицей dBASE: %2"_s.arg(filePath, why));
}

std::uint8_t byteAt(const QByteArray &bytes, int index)
{
    return static_cast<std::uint8_t>(bytes.at(index));
}

QString fieldName(const QByteArray &descriptor)
{
    const QByteArray raw = descriptor.left(11);
    const qsizetype end = raw.indexOf('\0');
    return QString::fromLatin1(end < 0 ? raw : raw.left(end));
}

bool isPlainName(const QString &name)
{
    return !name.isEmpty()
        && std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7F; });
}

DbfField parseDescriptor(const QByteArray &descriptor, int offset, const QString &filePath)
{
    DbfField field;
    field.name = fieldName(descriptor);
    if (!isPlainName(field.name))
        refuse(filePath, u"недопустимое имя поля «%1»"_s.arg(field.name));
    field.type = descriptor.at(11);
    field.width = byteAt(descriptor, 16);
    field.decimals = byteAt(descriptor, 17);
    field.offset = offset;
    if (field.width == 0)
        refuse(filePath, u"поле %1 имеет нулевую ширину"_s.arg(field.name));
    switch (field.type) {
    case 'C':
    case 'N':
    case 'F': break;
    case 'L':
        if (field.width != 1)
            refuse(filePath, u"логическое поле %1 имеет ширину %2 вместо 1"_s.arg(field.name).arg(field.width));
        break;
    case 'D':
        if (field.width != 8)
            refuse(filePath, u"поле даты %1 имеет ширину %2 вместо 8"_s.arg(field.name).arg(field.width));
        break;
    case 'M': refuse(filePath, u"поле %1 — мемо-поле, такие поля не поддерживаются"_s.arg(field.name));
    default:
        refuse(filePath, u"поле %1 имеет неизвестный тип «%2»"_s.arg(field.name, QString::fromLatin1(&field.type, 1)));
    }
    return field;
}

}  // namespace

DbfHeader parseDbfHeader(const QByteArray &bytes, const QString &filePath)
{
    if (bytes.size() < kDbfPrefixLength)
        refuse(filePath, u"файл короче заголовка (%1 байт)"_s.arg(bytes.size()));

    DbfHeader header;
    header.version = byteAt(bytes, 0);
    if (std::find(kAcceptedVersions.begin(), kAcceptedVersions.end(), header.version) == kAcceptedVersions.end())
        refuse(filePath, u"неизвестная версия формата 0x%1"_s.arg(uint(header.version), 2, 16, QChar(u'0')));
    header.lastUpdate = QDate(1900 + byteAt(bytes, 1), byteAt(bytes, 2), byteAt(bytes, 3));
    header.recordCount = qFromLittleEndian<quint32>(bytes.constData() + 4);
    header.headerLength = qFromLittleEndian<quint16>(bytes.constData() + 8);
    header.recordLength = qFromLittleEndian<quint16>(bytes.constData() + 10);
    header.languageDriver = byteAt(bytes, 29);

    if (header.headerLength < kDbfPrefixLength + kDbfDescriptorLength + 1)
        refuse(filePath, u"длина заголовка %1 слишком мала"_s.arg(header.headerLength));
    if (header.headerLength > bytes.size())
        refuse(filePath, u"длина заголовка %1 больше длины файла"_s.arg(header.headerLength));
    if (header.recordLength < 2)
        refuse(filePath, u"длина записи %1 слишком мала"_s.arg(header.recordLength));

    QSet<QString> seenNames;
    int position = kDbfPrefixLength;
    int offset = 1;  // after the deletion flag
    while (true) {
        if (position >= header.headerLength)
            refuse(filePath, u"описания полей не завершены байтом 0x0D"_s);
        if (bytes.at(position) == kDbfHeaderTerminator)
            break;
        if (position + kDbfDescriptorLength >= header.headerLength)
            refuse(filePath, u"описания полей не завершены байтом 0x0D"_s);
        DbfField field = parseDescriptor(bytes.mid(position, kDbfDescriptorLength), offset, filePath);
        if (offset + field.width > header.recordLength)
            refuse(filePath, u"поле %1 выходит за длину записи %2"_s.arg(field.name).arg(header.recordLength));
        const QString key = field.name.toUpper();
        if (seenNames.contains(key))
            refuse(filePath, u"поле %1 описано дважды"_s.arg(field.name));
        seenNames.insert(key);
        offset += field.width;
        header.fields.push_back(std::move(field));
        position += kDbfDescriptorLength;
    }
    if (header.fields.empty())
        refuse(filePath, u"в таблице нет ни одного поля"_s);
    if (offset != header.recordLength)
        refuse(filePath,
               u"длина записи %1 не равна сумме ширин полей плюс байт пометки (%2)"_s.arg(header.recordLength)
                   .arg(offset));
    return header;
}

QByteArray encodeDbfPrefix(const DbfHeader &header)
{
    QByteArray prefix(kDbfPrefixLength, '\0');
    prefix[0] = static_cast<char>(header.version);
    prefix[1] = static_cast<char>(header.lastUpdate.year() - 1900);
    prefix[2] = static_cast<char>(header.lastUpdate.month());
    prefix[3] = static_cast<char>(header.lastUpdate.day());
    qToLittleEndian<quint32>(header.recordCount, prefix.data() + 4);
    qToLittleEndian<quint16>(static_cast<quint16>(header.headerLength), prefix.data() + 8);
    qToLittleEndian<quint16>(static_cast<quint16>(header.recordLength), prefix.data() + 10);
    prefix[29] = static_cast<char>(header.languageDriver);
    return prefix;
}

DbfHeader layoutDbfHeader(std::vector<DbfField> fields, std::uint8_t languageDriver, const QDate &date)
{
    DbfHeader header;
    header.lastUpdate = date;
    header.languageDriver = languageDriver;
    int offset = 1;
    for (DbfField &field : fields) {
        field.offset = offset;
        offset += field.width;
    }
    header.fields = std::move(fields);
    header.recordLength = offset;
    header.headerLength = kDbfPrefixLength + kDbfDescriptorLength * int(header.fields.size()) + 1;
    return header;
}

QByteArray encodeDbfHeader(const DbfHeader &header)
{
    QByteArray bytes = encodeDbfPrefix(header);
    for (const DbfField &field : header.fields) {
        QByteArray descriptor(kDbfDescriptorLength, '\0');
        const QByteArray name = field.name.toLatin1().left(10);
        std::copy(name.cbegin(), name.cend(), descriptor.begin());
        descriptor[11] = field.type;
        descriptor[16] = static_cast<char>(field.width);
        descriptor[17] = static_cast<char>(field.decimals);
        bytes += descriptor;
    }
    bytes += kDbfHeaderTerminator;
    bytes.resize(header.headerLength, '\0');
    return bytes;
}

}  // namespace qm
