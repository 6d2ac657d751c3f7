#include "archive/commands/fill_archive_list.h"

#include "archive/archive_table.h"
#include "archive/commands/act_window.h"
#include "archive/commands/archive_field_text.h"
#include "archive/commands/archive_lines.h"
#include "archive/commands/archive_window_context.h"
#include "archive/commands/archive_window_messages.h"
#include "common/prompts.h"


using namespace Qt::StringLiterals;

namespace qm {

namespace {

// Hands the parts of the current record's line to `use`: the four field texts
// with the separators between them.
template <typename Use>
auto withLineParts(const ArchiveRecordSet &records, Use use)
{
    static const QString separator = u" ~ "_s;
    const QString date = archiveFieldText(records.value(ArchiveField::ACTDATE));
    const QString serial = archiveFieldText(records.value(ArchiveField::ZAVNUM));
    const QString customer = archiveFieldText(records.value(ArchiveField::NAMEORG));
    const QString operation = archiveFieldText(records.value(ArchiveField::PRICHINA));
    return use({date, separator, serial, separator, customer, separator, operation});
}

}  // namespace

QString archiveListLine(const ArchiveRecordSet &records)
{
    return withLineParts(records, [](std::initializer_list<QStringView> parts) {
        QString line;
        for (QStringView part : parts)
            line.append(part);
        return line;
    });
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
        // Each line is joined straight into the store's blocks, not built apart first.
        const auto appendLine = [&read](std::initializer_list<QStringView> parts) { read.append(parts); };
        for (; !records->atEnd(); records->moveNext())
            withLineParts(*records, appendLine);
        if (lines.isEmpty()) {
            lines = std::move(read);
        } else {
            for (qsizetype position = 0; position < read.size(); ++position)
                lines.append(read.line(position));
        }
        listed = true;
    }
    // Closed before the message: other workstations wait for the archive
    // while the mechanic reads it.
    records->close();
    if (!listed)
        context.prompts->message(noRecordsMessage());
    return listed;
}

}  // namespace qm
