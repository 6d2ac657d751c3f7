#include "archive/commands/delete_selected_record.h"

#include "archive/archive_table.h"
#include "archive/commands/archive_field_text.h"
#include "archive/commands/archive_window_context.h"
#include "archive/commands/fill_archive_list.h"
#include "archive/commands/selected_archive_line.h"

namespace qm {
namespace {

bool recordStillListed(const ArchiveRecordSet &records, const QListWidget *lBase, int position)
{
    return position >= 0 && records.recordCount() == lBase->count() && !records.atEnd()
        && archiveListLine(records) == lBase->item(position)->text();
}

}  // namespace

DeletionOutcome DeleteSelectedRecord(const ArchiveWindowContext &context, const QListWidget *lBase)
{
    const int position = selectedArchiveLine(lBase);
    const auto records = context.archive->open(ArchiveAccess::Writable);
    if (position > 0 && position < records->recordCount())
        records->skip(position);

    if (!recordStillListed(*records, lBase, position)) {
        records->close();
        return DeletionOutcome::ArchiveChanged;
    }

    const ActData &act = context.act;
    showArchiveFieldText(act.txtZavNum, records->value(ArchiveField::ZAVNUM));
    showArchiveFieldText(act.txtGodVyp, records->value(ArchiveField::GODVYP));
    showArchiveFieldText(act.txtINN, records->value(ArchiveField::INN));
    showArchiveFieldText(act.txtEKLZ, records->value(ArchiveField::EKLZREG));
    showArchiveFieldText(act.txtNameOrg, records->value(ArchiveField::NAMEORG));

    records->deleteCurrent();
    records->update();
    records->close();
    return DeletionOutcome::Deleted;
}

}  // namespace qm
