#include "archive/delete_selected_record.h"

#include "archive/archive_table.h"

namespace qm {

DeletedRecord DeleteSelectedRecord(Archive &archive, const ListedRecord &listed)
{
    const auto records = archive.open(ArchiveAccess::Writable);
    if (!records->moveToRecordNumber(listed.number) || records->recordDigest() != listed.digest) {
        records->close();
        return {};
    }

    DeletedRecord deleted;
    deleted.texts = archivedActTexts(*records);
    records->deleteCurrent();
    records->update();
    records->close();
    deleted.outcome = DeletionOutcome::Deleted;
    return deleted;
}

}  // namespace qm
