#include "archive/commands/fill_archive_list.h"

#include "archive/archive_table.h"
#include "archive/commands/archive_field_text.h"
#include "archive/commands/archive_window_context.h"
#include "archive/commands/archive_window_messages.h"
#include "common/prompts.h"

#include <QListWidget>
#include <QStringBuilder>

using namespace Qt::StringLiterals;

namespace qm {

QString archiveListLine(const ArchiveRecordSet &records)
{
    // Built in one allocation: the list fill makes one line per archived act.
    const QLatin1StringView separator(" ~ ");
    return archiveFieldText(records.value(ArchiveField::ACTDATE)) % separator
        % archiveFieldText(records.value(ArchiveField::ZAVNUM)) % separator
        % archiveFieldText(records.value(ArchiveField::NAMEORG)) % separator
        % archiveFieldText(records.value(ArchiveField::PRICHINA));
}

bool FillArchiveList(const ArchiveWindowContext &context, QListWidget *lBase)
{
    const auto records = context.archive->open(ArchiveAccess::ReadOnly);
    const int count = records->recordCount();
    showRecordCount(context.act, count);

    bool listed = false;
    if (count != 0) {
        // Lines are built first and added together, so a record that cannot be
        // read leaves no half-built list behind.
        QStringList lines;
        for (; !records->atEnd(); records->moveNext())
            lines.append(archiveListLine(*records));
        lBase->addItems(lines);
        listed = true;
    } else {
        context.prompts->message(noRecordsMessage());
    }
    records->close();
    return listed;
}

}  // namespace qm
