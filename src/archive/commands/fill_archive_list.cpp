#include "archive/commands/fill_archive_list.h"

#include "archive/archive_table.h"
#include "archive/commands/act_window.h"
#include "archive/commands/archive_field_text.h"
#include "archive/commands/archive_lines.h"
#include "archive/commands/archive_window_context.h"
#include "archive/commands/archive_window_messages.h"
#include "common/prompts.h"

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

bool FillArchiveList(const ArchiveWindowContext &context, ArchiveLines &lines)
{
    const auto records = context.archive->open(ArchiveAccess::ReadOnly);
    const int count = records->recordCount();
    context.actWindow->showRecordCount(count);

    bool listed = false;
    if (count != 0) {
        // Lines are built apart and added together, so a record that cannot
        // be read leaves no half-built list behind.
        ArchiveLines read;
        for (; !records->atEnd(); records->moveNext())
            read.append(archiveListLine(*records));
        if (lines.isEmpty()) {
            lines = std::move(read);
        } else {
            for (qsizetype position = 0; position < read.size(); ++position)
                lines.append(read.line(position));
        }
        listed = true;
    } else {
        context.prompts->message(noRecordsMessage());
    }
    records->close();
    return listed;
}

}  // namespace qm
