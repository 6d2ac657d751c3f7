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
    try {
        records->deleteCurrent();
        records->update();
        records->close();
        deleted.outcome = DeletionOutcome::Deleted;
    } catch (...) {
        deleted.outcome = DeletionOutcome::Failed;
        deleted.failure = toFailure(std::current_exception());
    }
    return deleted;
}

}  // namespace qm
