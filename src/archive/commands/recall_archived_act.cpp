#include "archive/commands/recall_archived_act.h"

#include "archive/archive_table.h"
#include "archive/commands/archive_field_text.h"

namespace qm {
namespace {

// Null is kept apart from any stored text: the main window does something
// particular for it.
std::optional<QString> storedText(const QVariant &value)
{
    return value.isNull() ? std::nullopt : std::optional<QString>(archiveFieldText(value));
}

}  // namespace

ArchivedActTexts archivedActTexts(const ArchiveRecordSet &records)
{
    return ArchivedActTexts{
        archiveFieldText(records.value(ArchiveField::ZAVNUM)),
        archiveFieldText(records.value(ArchiveField::GODVYP)),
        archiveFieldText(records.value(ArchiveField::INN)),
        archiveFieldText(records.value(ArchiveField::EKLZREG)),
        archiveFieldText(records.value(ArchiveField::NAMEORG)),
    };
}

RecalledAct RecallArchivedAct(Archive &archive, int position)
{
    const auto records = archive.open(ArchiveAccess::ReadOnly);
    if (position != 0)
        records->skip(position);

    // Read field by field in the order of the act, as the window applies them.
    RecalledAct act;
    act.date = archiveFieldDate(records->value(ArchiveField::ACTDATE));
    act.mechanic = storedText(records->value(ArchiveField::MECHNAME));
    act.registerModel = storedText(records->value(ArchiveField::TYPEKKM));
    act.texts = archivedActTexts(*records);
    act.operationType = storedText(records->value(ArchiveField::PRICHINA));
    act.contentsPreserved = archiveFieldTicked(records->value(ArchiveField::E_SOHRAN));
    act.readable = archiveFieldTicked(records->value(ArchiveField::E_READABLE));
    records->close();
    return act;
}

}  // namespace qm
