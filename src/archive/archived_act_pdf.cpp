#include "archive/archived_act_pdf.h"

#include "archive/archive_field_text.h"
#include "archive/archive_table.h"
#include "common/act_files.h"
#include "common/failure.h"

namespace qm {

QString archivedActPdfPath(Archive &archive, const QString &programFolder, const ListedRecord &listed)
{
    const auto records = archive.open(ArchiveAccess::ReadOnly);
    if (!records->moveToRecordNumber(listed.number) || records->recordDigest() != listed.digest) {
        records->close();
        return {};
    }
    std::optional<QDate> date;
    QString customer;
    QString serial;
    try {
        date = archiveFieldDate(records->value(ArchiveField::ACTDATE));
        customer = archiveFieldText(records->value(ArchiveField::NAMEORG));
        serial = archiveFieldText(records->value(ArchiveField::ZAVNUM));
    } catch (const Failure &) {
        // A damaged cell: the act was never printed by this program under such a name.
        records->close();
        return {};
    }
    records->close();
    // An act without a readable date was never printed by this program, so no copy bears its name.
    if (!date)
        return {};
    return actPdfFolder(programFolder) + u'/' + actPdfFileName(*date, customer, serial, listed.number);
}

}  // namespace qm
