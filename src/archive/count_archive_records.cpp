#include "archive/archive_table.h"

namespace qm {

int CountArchiveRecords(Archive &archive)
{
    const std::unique_ptr<ArchiveRecordSet> records = archive.open(ArchiveAccess::ReadOnly);
    const int count = records->recordCount();
    records->close();
    return count;
}

}  // namespace qm
