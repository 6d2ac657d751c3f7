#include "archive/commands/delete_selected_record.h"

#include "archive/archive_table.h"
#include "archive/commands/act_window.h"
#include "archive/commands/archive_lines.h"
#include "archive/commands/archive_window_context.h"
#include "archive/commands/fill_archive_list.h"
#include "archive/commands/recall_archived_act.h"

namespace qm {
namespace {

bool recordStillListed(const ArchiveRecordSet &records, const ArchiveLines &lines, int position)
{
    return position >= 0 && position < lines.size() && records.recordCount() == lines.size() && !records.atEnd()
        && archiveListLine(records) == lines.line(position);
}

}  // namespace

DeletionOutcome DeleteSelectedRecord(const ArchiveWindowContext &context, const ArchiveLines &lines, int position)
{
    const auto records = context.archive->open(ArchiveAccess::Writable);
    if (position > 0 && position < records->recordCount())
        records->skip(position);

    if (!recordStillListed(*records, lines, position)) {
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
