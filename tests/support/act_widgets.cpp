#include "support/act_widgets.h"

using namespace Qt::StringLiterals;

namespace qm::test {

ActWidgets::ActWidgets()
{
    act.DTP = new QDateTimeEdit(&owner);
    act.txtMIFNS = new QLineEdit(&owner);
    act.txtNameOrg = new QLineEdit(&owner);
    act.txtINN = new QLineEdit(&owner);
    act.cmbNameKKM = new QComboBox(&owner);
    act.txtZavNum = new QLineEdit(&owner);
    act.txtGodVyp = new QLineEdit(&owner);
    act.cmbVidOp = new QComboBox(&owner);
    act.txtEKLZ = new QLineEdit(&owner);
    act.chSoderjimoe = new QCheckBox(&owner);
    act.chProchest = new QCheckBox(&owner);
    act.cmbTech = new QComboBox(&owner);
    act.recordCountPanel = new QLabel(&owner);

    act.cmbNameKKM->addItems({u"ЭЛВЕС-МИКРО-К"_s, u"Меркурий-115Ф"_s});
    act.cmbTech->addItems({u"Иванов И.И."_s, u"Петров П.П."_s});
    act.cmbVidOp->addItems({u"Заполнение ЭКЛЗ"_s, u"Неисправность ЭКЛЗ"_s});
    for (QComboBox *list : {act.cmbNameKKM, act.cmbTech, act.cmbVidOp})
        list->setCurrentIndex(-1);
    act.chSoderjimoe->setChecked(true);
    act.chProchest->setChecked(true);
}

}  // namespace qm::test
