#include "support/act_widgets.h"

#include "settings/pick_lists.h"

using namespace Qt::StringLiterals;

namespace qm::test {

ActWidgets::ActWidgets()
{
    createControls();
    act.cmbNameKKM->addItems({u"ЭЛВЕС-МИКРО-К"_s, u"Меркурий-115Ф"_s});
    act.cmbTech->addItems({u"Иванов И.И."_s, u"Петров П.П."_s});
    act.cmbVidOp->addItems({u"Заполнение ЭКЛЗ"_s, u"Неисправность ЭКЛЗ"_s});
    for (QComboBox *list : {act.cmbNameKKM, act.cmbTech, act.cmbVidOp})
        list->setCurrentIndex(-1);
}

ActWidgets::ActWidgets(const QString &iniPath)
{
    createControls();
    LoadKkmModels(iniPath, act.cmbNameKKM);
    LoadTechnicians(iniPath, act.cmbTech);
    LoadOperationTypes(act.cmbVidOp);
}

void ActWidgets::createControls()
{
    const auto line = [this](const QString &name, int maxLength) {
        auto *box = new QLineEdit(&owner);
        box->setObjectName(name);
        box->setMaxLength(maxLength);
        return box;
    };
    // Created in the main window's tab order, so focus starts in the customer field.
    act.txtNameOrg = line(u"txtNameOrg"_s, 40);
    act.txtINN = line(u"txtINN"_s, 12);
    act.cmbNameKKM = new QComboBox(&owner);
    act.txtZavNum = line(u"txtZavNum"_s, 12);
    act.txtGodVyp = line(u"txtGodVyp"_s, 4);
    act.cmbVidOp = new QComboBox(&owner);
    act.txtEKLZ = line(u"txtEKLZ"_s, 10);
    act.chSoderjimoe = new QCheckBox(&owner);
    act.chProchest = new QCheckBox(&owner);
    act.cmbTech = new QComboBox(&owner);
    act.DTP = new QDateTimeEdit(&owner);
    act.DTP->setMinimumDate(QDate(1997, 1, 1));
    act.DTP->setMaximumDate(QDate(9999, 12, 31));
    act.txtMIFNS = line(u"txtMIFNS"_s, 40);
    act.recordCountPanel = new QLabel(&owner);
    act.chSoderjimoe->setChecked(true);
    act.chProchest->setChecked(true);
}

}  // namespace qm::test
