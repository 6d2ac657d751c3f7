// Any bytes as QM.dbf, opened for writing the way the save opens it: one new
// record with a value in every column, committed, then the file read back.
// A refused file or value must leave the file as it was; an accepted append
// must leave every byte of the committed records and of the header (but the
// date and the count) untouched, and read back exactly what was set.

#include "archive/archive_failures.h"
#include "archive/archive_table.h"
#include "archive/dbf_archive.h"
#include "common/failure.h"
#include "fuzz_check.h"
#include "fuzz_table_file.h"

#include <QDate>
#include <QVariant>
#include <QtEndian>

#include <chrono>
#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace qm;
using namespace qm::fuzz;

namespace {

// A leading blank and one inside: the archive keeps both, only trailing padding goes.
const QString kSampleText = u" Акт №7 Ёё zZ"_s;
const QDate kSampleDate(2024, 2, 29);
constexpr double kSampleNumber = 7.25;

QVariant sampleFor(const DbfField &field)
{
    switch (field.type) {
    case 'L': return true;
    case 'D': return kSampleDate;
    case 'N':
    case 'F': return kSampleNumber;
    default: return kSampleText.first(qMin<qsizetype>(field.width, kSampleText.size()));
    }
}

// What the cell must read back as after the set: text loses its trailing
// padding (all of it gone reads as null), a number keeps the column's decimals.
QVariant expectedReadBack(const DbfField &field, const QVariant &sample)
{
    if (field.type == 'N' || field.type == 'F')
        return QByteArray::number(kSampleNumber, 'f', field.decimals).toDouble();
    if (field.type != 'C')
        return sample;
    QString text = sample.toString();
    while (text.endsWith(u' '))
        text.chop(1);
    return text.isEmpty() ? QVariant() : QVariant(text);
}

bool numberFits(const DbfField &field)
{
    return QByteArray::number(kSampleNumber, 'f', field.decimals).size() <= field.width;
}

// Sets every column of a new record; returns what each should read back as.
QList<QVariant> setEveryField(ArchiveRecordSet &records, const std::vector<DbfField> &fields)
{
    QList<QVariant> expected;
    for (const DbfField &field : fields) {
        const QVariant sample = sampleFor(field);
        const bool mustFit = (field.type != 'N' && field.type != 'F') || numberFits(field);
        try {
            records.setValue(field.name, sample);
            check(mustFit, "a number wider than its column was accepted", field.name);
            expected << expectedReadBack(field, sample);
        } catch (const Failure &failure) {
            check(!mustFit, "a value that fits its column was refused", failure.description());
            check(failure.number() == FailureCode::FieldTooSmall && failure.description().contains(field.name),
                  "a value too wide gave the wrong failure", failure.description());
            // A refused value leaves the cell blank.
            expected << QVariant();
        }
    }
    return expected;
}

void checkLastRecord(Archive &archive, const std::vector<DbfField> &fields, const QList<QVariant> &expected, int count)
{
    const std::unique_ptr<ArchiveRecordSet> records = archive.open(ArchiveAccess::ReadOnly);
    check(records->recordCount() == count, "the appended record is not counted");
    records->skip(count - 1);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const QVariant value = records->value(fields[i].name);
        check(value == expected[qsizetype(i)], "a field did not read back as it was set",
              u"%1: «%2» instead of «%3»"_s.arg(fields[i].name, value.toString(), expected[qsizetype(i)].toString()));
    }
    records->close();
}

// Byte by byte: only the date and the count of the header change, the new
// record follows the committed ones, and the end mark closes the file.
void checkBytesAroundAppend(const QByteArray &before, const QByteArray &after, const DbfHeader &header)
{
    const qint64 committedEnd = header.committedEnd();
    check(after.size() == committedEnd + header.recordLength + 1, "the file has the wrong size after the append",
          u"%1 bytes"_s.arg(after.size()));
    check(after.at(0) == before.at(0), "the append changed the format byte");
    check(qFromLittleEndian<quint32>(after.constData() + 4) == header.recordCount + 1,
          "the append did not count the new record");
    check(after.first(committedEnd).sliced(8) == before.first(committedEnd).sliced(8),
          "the append changed the header or a committed record");
    check(after.at(committedEnd) == ' ', "the new record is not flagged live");
    check(after.back() == 0x1A, "the file does not end with the end mark");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const FuzzTableFile table;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    table.write(bytes);

    DbfArchive archive(table.folder(), std::chrono::milliseconds(0));
    std::unique_ptr<ArchiveRecordSet> records;
    int countBefore = 0;
    try {
        records = archive.open(ArchiveAccess::Writable);
        countBefore = records->recordCount();
    } catch (const Failure &failure) {
        check(failure.description().contains(table.path()), "a refused file is not named in the failure",
              failure.description());
        check(table.read() == bytes, "a file refused for writing was changed");
        return 0;
    }

    const DbfHeader header = parseDbfHeader(bytes, table.path());
    records->addNew();
    const QList<QVariant> expected = setEveryField(*records, header.fields);
    records->update();
    records->close();

    checkBytesAroundAppend(bytes, table.read(), header);
    checkLastRecord(archive, header.fields, expected, countBefore + 1);
    readEveryCell(archive, header.fields);
    return 0;
}
