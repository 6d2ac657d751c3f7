#include "app/main_window/act_controls.h"

#include "archive/archived_acts.h"
#include "settings/pick_lists.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

// Marks an item that shows an archived act's name or operation type which the
// lists no longer hold. Such an item lives until the lists are reloaded or the
// next act is recalled.
constexpr int kArchivedOnlyRole = Qt::UserRole + 1;
const QString kArchivedOnlyNote = u"Нет в списке программы: так записано в архивном акте"_s;

// A stored text of blanks is the archive's placeholder for "none", not a name.
bool isBlank(const QString &stored)
{
    return stored.trimmed().isEmpty();
}

void removeArchivedOnlyItems(QComboBox *list)
{
    for (int i = list->count() - 1; i >= 0; --i) {
        if (list->itemData(i, kArchivedOnlyRole).toBool())
            list->removeItem(i);
    }
}

// The closed list says it too, to the eye and to assistive technology, for as
// long as such an item is the chosen one.
void noteArchivedOnlyChoice(QComboBox *list)
{
    const QString watcherName = u"archivedOnlyChoiceNote"_s;
    if (list->findChild<QObject *>(watcherName, Qt::FindDirectChildrenOnly) != nullptr)
        return;
    auto *watcher = new QObject(list);
    watcher->setObjectName(watcherName);
    const auto update = [list] {
        const bool archivedOnly = list->currentData(kArchivedOnlyRole).toBool();
        list->setToolTip(archivedOnly ? kArchivedOnlyNote : QString());
        list->setAccessibleDescription(archivedOnly ? kArchivedOnlyNote : QString());
    };
    QObject::connect(list, &QComboBox::currentIndexChanged, watcher, update);
    update();
}

// A recalled act's list text: the item equal to it, or an item of its own, so
// that a reprint names what the act was made with and never another act's choice.
void showStoredChoice(QComboBox *list, const QString &stored)
{
    noteArchivedOnlyChoice(list);
    removeArchivedOnlyItems(list);
    if (isBlank(stored)) {
        list->setCurrentIndex(-1);
        return;
    }
    selectMatchingItem(list, stored);
    if (list->currentIndex() >= 0 && list->currentText() == stored)
        return;
    list->addItem(stored);
    const int added = list->count() - 1;
    list->setItemData(added, true, kArchivedOnlyRole);
    list->setItemData(added, QBrush(list->palette().color(QPalette::Disabled, QPalette::Text)), Qt::ForegroundRole);
    list->setItemData(added, kArchivedOnlyNote, Qt::ToolTipRole);
    list->setItemData(added, kArchivedOnlyNote, Qt::AccessibleDescriptionRole);
    list->setCurrentIndex(added);
}

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

TypingLimit::TypingLimit(QLineEdit *box) : QObject(box), box_(box), ownLimit_(box->maxLength())
{
    connect(box, &QLineEdit::textChanged, this, &TypingLimit::shrinkToText);
}

void TypingLimit::showText(QLineEdit *box, const QString &text)
{
    const auto *limit = box->findChild<TypingLimit *>(QString(), Qt::FindDirectChildrenOnly);
    const int own = limit ? limit->ownLimit_ : box->maxLength();
    box->setMaxLength(qMax(own, int(text.size())));
    box->setText(text);
}

void TypingLimit::shrinkToText()
{
    const int needed = qMax(ownLimit_, int(box_->text().size()));
    if (box_->maxLength() > needed)
        box_->setMaxLength(needed);
}

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

void fillPickList(QComboBox *list, const PickList &items)
{
    list->clear();
    list->addItems(items.items);
    // A combo box selects the first item put into it when empty; the act
    // must start with no choice made.
    list->setCurrentIndex(-1);
    if (items.overflow)
        throw *items.overflow;
}

void showRecalledAct(const ActControls &controls, const RecalledAct &act, const QString &iniPath)
{
    showRecalledDate(controls.DTP, act.date);

    if (act.mechanic)
        showStoredChoice(controls.cmbTech, *act.mechanic);
    else
        fillPickList(controls.cmbTech, LoadTechnicians(iniPath));

    if (act.registerModel)
        showStoredChoice(controls.cmbNameKKM, *act.registerModel);
    else
        fillPickList(controls.cmbNameKKM, LoadKkmModels(iniPath));

    showArchivedTexts(controls, act.texts);

    if (act.operationType) {
        showStoredChoice(controls.cmbVidOp, *act.operationType);
    } else {
        removeArchivedOnlyItems(controls.cmbVidOp);
        controls.cmbVidOp->setCurrentIndex(-1);
    }

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
