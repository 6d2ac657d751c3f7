#include "archive/commands/archived_act_pdf.h"

#include "archive/archive_table.h"
#include "archive/commands/archive_field_text.h"
#include "archive/commands/fill_archive_list.h"
#include "common/act_files.h"

namespace qm {

QString archivedActPdfPath(Archive &archive, const QString &programFolder, int position, QStringView shownLine)
{
    const auto records = archive.open(ArchiveAccess::ReadOnly);
    const bool inTable = position >= 0 && position < records->recordCount();
    if (inTable && position > 0)
        records->skip(position);
    if (!inTable || records->atEnd() || archiveListLine(*records) != shownLine) {
        records->close();
        return {};
    }
    const std::optional<QDate> date = archiveFieldDate(records->value(ArchiveField::ACTDATE));
    const QString customer = archiveFieldText(records->value(ArchiveField::NAMEORG));
    const QString serial = archiveFieldText(records->value(ArchiveField::ZAVNUM));
    const quint32 number = records->recordNumber();
    records->close();
    // An act without a readable date was never printed by this program, so no copy bears its name.
    if (!date)
        return {};
    return actPdfFolder(programFolder) + u'/' + actPdfFileName(*date, customer, serial, number);
}

}  // namespace qm
