#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>

namespace qm {

// The act being entered. It is not a separate record: it is the main window's
// controls themselves, which the print command, the archive save, the deletion
// and the recall read and write directly. The main window hands out this view.
struct ActData {
    QDateTimeEdit *DTP = nullptr;        // act date (date and time of day)
    QLineEdit *txtMIFNS = nullptr;       // tax inspectorate number (printed, not archived)
    QLineEdit *txtNameOrg = nullptr;     // customer organisation
    QLineEdit *txtINN = nullptr;         // customer's taxpayer number
    QComboBox *cmbNameKKM = nullptr;     // cash register model
    QLineEdit *txtZavNum = nullptr;      // serial number
    QLineEdit *txtGodVyp = nullptr;      // year of manufacture
    QComboBox *cmbVidOp = nullptr;       // operation type
    QLineEdit *txtEKLZ = nullptr;        // new unit's registration number
    QCheckBox *chSoderjimoe = nullptr;   // old unit's contents preserved
    QCheckBox *chProchest = nullptr;     // old unit readable
    QComboBox *cmbTech = nullptr;        // mechanic
    QLabel *recordCountPanel = nullptr;  // status bar panel 2, "Записей: N"
};

// Text of a pick-list as the act uses it: the selected item's text, empty when none.
inline QString selectedText(const QComboBox *list)
{
    return list->currentIndex() < 0 ? QString() : list->itemText(list->currentIndex());
}

// Check box state as the act reads it: anything but cleared (ticked or greyed) counts.
inline bool isTickedOrGreyed(const QCheckBox *box)
{
    return box->checkState() != Qt::Unchecked;
}

inline void showRecordCount(const ActData &act, qint64 count)
{
    act.recordCountPanel->setText(QStringLiteral("Записей: ") + QString::number(count));
}

}  // namespace qm
