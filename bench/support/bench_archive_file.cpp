#include "support/bench_archive_file.h"

#include "archive/archive_table.h"
#include "archive/dbf_archive.h"
#include "archive/dbf_header.h"
#include "archive/empty_archive.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace qm::bench {

void saveTypicalAct(Archive &archive, int serialNumber)
{
    const auto records = archive.open(ArchiveAccess::Writable);
    records->addNew();
    records->setValue(ArchiveField::ACTDATE, u"6.1.2012"_s);
    records->setValue(ArchiveField::MECHNAME, u"Иванов Иван Иванович"_s);
    records->setValue(ArchiveField::TYPEKKM, u"ЭКР 2102К"_s);
    records->setValue(ArchiveField::ZAVNUM, QString::number(serialNumber));
    records->setValue(ArchiveField::GODVYP, u"2009"_s);
    records->setValue(ArchiveField::PRICHINA, u"Замена ЭКЛЗ"_s);
    records->setValue(ArchiveField::E_SOHRAN, true);
    records->setValue(ArchiveField::E_READABLE, true);
    records->setValue(ArchiveField::INN, u"7701234567"_s);
    records->setValue(ArchiveField::EKLZREG, u"0007123456"_s);
    records->setValue(ArchiveField::NAMEORG, u"ООО «Ромашка»"_s);
    records->update();
    records->close();
}

namespace {

// An archive that has grown for years was made before the mechanic's and the
// model's columns were widened: 60 characters each, as the shipped archive had.
std::vector<DbfField> grownArchiveLayout()
{
    std::vector<DbfField> fields = archiveFieldLayout();
    for (DbfField &field : fields) {
        if (field.name == ArchiveField::MECHNAME || field.name == ArchiveField::TYPEKKM)
            field.width = 60;
    }
    return fields;
}

}  // namespace

void writeArchiveOfActs(const QString &folder, int count, bool newLayout)
{
    const QString path = folder + u"/QM.dbf"_s;
    QFile::remove(path);
    createEmptyArchive(path, newLayout ? archiveFieldLayout() : grownArchiveLayout());
    DbfArchive archive(folder);
    saveTypicalAct(archive, 1);

    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        throw std::runtime_error("cannot reopen the archive");
    const QByteArray start = file.read(0x10000);
    const DbfHeader header = parseDbfHeader(start, path);
    const auto zavnum = std::find_if(header.fields.begin(), header.fields.end(),
                                     [](const DbfField &field) { return field.name == ArchiveField::ZAVNUM; });
    if (zavnum == header.fields.end())
        throw std::runtime_error("the archive has no ZAVNUM field");
    QByteArray prefix = start.first(header.headerLength);
    qToLittleEndian<quint32>(quint32(count), prefix.data() + 4);
    const QByteArray sample = start.mid(header.headerLength, header.recordLength);

    file.resize(0);
    file.write(prefix);
    constexpr int kRecordsPerWrite = 10000;
    QByteArray block;
    block.reserve(qsizetype(kRecordsPerWrite) * header.recordLength);
    for (int i = 0; i < count; ++i) {
        QByteArray record = sample;
        const QByteArray serial = QByteArray::number(i + 1).leftJustified(zavnum->width, ' ');
        record.replace(zavnum->offset, zavnum->width, serial);  // offsets count the deletion flag
        block += record;
        if (block.size() >= qsizetype(kRecordsPerWrite) * header.recordLength || i + 1 == count) {
            if (file.write(block) != block.size())
                throw std::runtime_error("cannot write the archive");
            block.clear();
        }
    }
    file.write(QByteArray(1, kDbfEndOfFile));
    if (!file.flush())
        throw std::runtime_error("cannot write the archive");
}

}  // namespace qm::bench
