// Any bytes as QM.dbf, opened read-only the way the archive window and the
// counter open it: count, scan in natural order, every field of every live
// record. A numbered Failure is the expected answer to a bad file; a crash,
// undefined behaviour, a leak, another exception or a wrong answer is a bug.

#include "archive/archive_table.h"
#include "archive/dbf_archive.h"
#include "common/failure.h"
#include "fuzz_check.h"
#include "fuzz_table_file.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace qm;
using namespace qm::fuzz;

namespace {

// Positioning by skip lands where the scan does, and reading past the end is refused.
void checkSkipToEnd(Archive &archive, int count)
{
    const std::unique_ptr<ArchiveRecordSet> records = archive.open(ArchiveAccess::ReadOnly);
    if (count > 0) {
        records->skip(count - 1);
        check(!records->atEnd(), "skip to the last record ended past it");
        records->skip(1);
    }
    check(records->atEnd(), "skip over every record did not reach the end");
    try {
        records->value(ArchiveField::MECHNAME);
        fail("a field was read past the last record");
    } catch (const Failure &failure) {
        check(failure.number() == FailureCode::NoCurrentRecord || failure.number() == FailureCode::ItemNotFound,
              "reading past the end gave the wrong failure", failure.description());
    }
    records->close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const FuzzTableFile table;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    table.write(bytes);

    DbfArchive archive(table.folder(), std::chrono::milliseconds(0));
    int count = 0;
    try {
        count = CountArchiveRecords(archive);
    } catch (const Failure &failure) {
        check(failure.description().contains(table.path()), "a refused file is not named in the failure",
              failure.description());
        check(table.read() == bytes, "a refused file was changed");
        return 0;
    }

    const std::vector<DbfField> fields = declaredFields(bytes, table.path());
    const int read = readEveryCell(archive, fields);
    check(read == count, "the scan and the counter disagree", u"%1 read, %2 counted"_s.arg(read).arg(count));
    checkSkipToEnd(archive, count);
    check(table.read() == bytes, "reading changed the file");
    return 0;
}
