#include "app/act_controls.h"

#include "app/typing_limit.h"
#include "archive/commands/recalled_act.h"
#include "settings/pick_lists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>

namespace qm {
namespace {

std::optional<QString> chosenItem(const QComboBox *list)
{
    if (list->currentIndex() < 0)
        return std::nullopt;
    return list->itemText(list->currentIndex());
}

// A greyed box counts as ticked, as anything but cleared does.
bool tickedOrGreyed(const QCheckBox *box)
{
    return box->checkState() != Qt::Unchecked;
}

void showRecalledDate(QDateTimeEdit *picker, const std::optional<QDate> &date)
{
    // Clamping to the picker's range would put a different date on a reprinted act.
    if (date && *date >= picker->minimumDate() && *date <= picker->maximumDate())
        picker->setDateTime(QDateTime(*date, QTime(0, 0)));
}

}  // namespace

ActData readAct(const ActControls &controls)
{
    ActData act;
    act.date = controls.DTP->dateTime();
    act.taxInspectorate = controls.txtMIFNS->text();
    act.customer = controls.txtNameOrg->text();
    act.inn = controls.txtINN->text();
    act.registerModel = chosenItem(controls.cmbNameKKM);
    act.serialNumber = controls.txtZavNum->text();
    act.yearMade = controls.txtGodVyp->text();
    act.operationType = chosenItem(controls.cmbVidOp);
    act.registrationNumber = controls.txtEKLZ->text();
    act.contentsPreserved = tickedOrGreyed(controls.chSoderjimoe);
    act.readable = tickedOrGreyed(controls.chProchest);
    act.mechanic = chosenItem(controls.cmbTech);
    return act;
}

void showArchivedTexts(const ActControls &controls, const ArchivedActTexts &texts)
{
    TypingLimit::showText(controls.txtZavNum, texts.serialNumber);
    TypingLimit::showText(controls.txtGodVyp, texts.yearMade);
    TypingLimit::showText(controls.txtINN, texts.inn);
    TypingLimit::showText(controls.txtEKLZ, texts.registrationNumber);
    TypingLimit::showText(controls.txtNameOrg, texts.customer);
}

void showRecalledAct(const ActControls &controls, const RecalledAct &act, const QString &iniPath)
{
    showRecalledDate(controls.DTP, act.date);

    if (act.mechanic)
        selectMatchingItem(controls.cmbTech, *act.mechanic);
    else
        LoadTechnicians(iniPath, controls.cmbTech);

    if (act.registerModel)
        selectMatchingItem(controls.cmbNameKKM, *act.registerModel);
    else
        LoadKkmModels(iniPath, controls.cmbNameKKM);

    showArchivedTexts(controls, act.texts);

    if (act.operationType)
        selectMatchingItem(controls.cmbVidOp, *act.operationType);
    else
        controls.cmbVidOp->setCurrentIndex(-1);

    controls.chSoderjimoe->setChecked(act.contentsPreserved);
    controls.chProchest->setChecked(act.readable);
}

void selectMatchingItem(QComboBox *list, const QString &stored)
{
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemText(i) == stored)
            list->setCurrentIndex(i);
    }
}

}  // namespace qm
