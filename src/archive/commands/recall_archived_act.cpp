#include "archive/commands/recall_archived_act.h"

#include "archive/archive_table.h"
#include "archive/commands/archive_field_text.h"
#include "archive/commands/archive_window_context.h"
#include "archive/commands/selected_archive_line.h"
#include "settings/pick_lists.h"

#include <QComboBox>

namespace qm {
namespace {

void recallDate(QDateTimeEdit *picker, const QVariant &stored)
{
    // A date the picker cannot show is left out rather than clamped to the
    // picker's range, which would put a different date on a reprinted act.
    const std::optional<QDate> date = archiveFieldDate(stored);
    if (date && *date >= picker->minimumDate() && *date <= picker->maximumDate())
        picker->setDateTime(QDateTime(*date, QTime(0, 0)));
}

}  // namespace

void selectMatchingItem(QComboBox *list, const QString &stored)
{
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemText(i) == stored)
            list->setCurrentIndex(i);
    }
}

void RecallArchivedAct(const ArchiveWindowContext &context, const QListWidget *lBase)
{
    const ActData &act = context.act;
    const int position = selectedArchiveLine(lBase);
    if (position < 0)
        return;
    const auto records = context.archive->open(ArchiveAccess::ReadOnly);
    if (position != 0)
        records->skip(position);

    recallDate(act.DTP, records->value(ArchiveField::ACTDATE));

    if (const QVariant mechanic = records->value(ArchiveField::MECHNAME); mechanic.isNull())
        LoadTechnicians(context.iniPath, act.cmbTech);
    else
        selectMatchingItem(act.cmbTech, archiveFieldText(mechanic));

    if (const QVariant model = records->value(ArchiveField::TYPEKKM); model.isNull())
        LoadKkmModels(context.iniPath, act.cmbNameKKM);
    else
        selectMatchingItem(act.cmbNameKKM, archiveFieldText(model));

    showArchiveFieldText(act.txtZavNum, records->value(ArchiveField::ZAVNUM));
    showArchiveFieldText(act.txtGodVyp, records->value(ArchiveField::GODVYP));
    showArchiveFieldText(act.txtINN, records->value(ArchiveField::INN));
    showArchiveFieldText(act.txtEKLZ, records->value(ArchiveField::EKLZREG));
    showArchiveFieldText(act.txtNameOrg, records->value(ArchiveField::NAMEORG));

    if (const QVariant operation = records->value(ArchiveField::PRICHINA); operation.isNull())
        act.cmbVidOp->setCurrentIndex(-1);
    else
        selectMatchingItem(act.cmbVidOp, archiveFieldText(operation));

    act.chSoderjimoe->setChecked(archiveFieldTicked(records->value(ArchiveField::E_SOHRAN)));
    act.chProchest->setChecked(archiveFieldTicked(records->value(ArchiveField::E_READABLE)));

    records->close();
}

}  // namespace qm
