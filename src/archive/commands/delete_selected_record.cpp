#include "archive/commands/delete_selected_record.h"

#include "archive/archive_table.h"
#include "archive/commands/act_window.h"
#include "archive/commands/archive_window_context.h"
#include "archive/commands/recall_archived_act.h"

namespace qm {

DeletionOutcome DeleteSelectedRecord(const ArchiveWindowContext &context, const ListedRecord &listed)
{
    const auto records = context.archive->open(ArchiveAccess::Writable);
    if (!records->moveToRecordNumber(listed.number) || records->recordDigest() != listed.digest) {
        records->close();
        return DeletionOutcome::ArchiveChanged;
    }

    context.actWindow->showArchivedTexts(archivedActTexts(*records));

    records->deleteCurrent();
    records->update();
    records->close();
    return DeletionOutcome::Deleted;
}

}  // namespace qm
