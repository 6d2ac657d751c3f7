#include "archive/commands/fill_archive_list.h"

#include "archive/archive_snapshot.h"
#include "archive/archive_table.h"
#include "archive/commands/act_window.h"
#include "archive/commands/archive_window_context.h"
#include "archive/commands/archive_window_messages.h"
#include "common/prompts.h"

namespace qm {

std::unique_ptr<ArchiveSnapshot> FillArchiveList(const ArchiveWindowContext &context)
{
    std::unique_ptr<ArchiveSnapshot> snapshot = context.archive->snapshot();
    context.actWindow->showRecordCount(snapshot->size());
    if (snapshot->size() == 0) {
        context.prompts->message(noRecordsMessage());
        return nullptr;
    }
    return snapshot;
}

}  // namespace qm
