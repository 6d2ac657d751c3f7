#pragma once

#include "common/act_data.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QObject>

namespace qm {

struct ArchivedActTexts;
struct PickList;
struct RecalledAct;

// The typing limit of a text box, which a recalled text may exceed: an act
// stored long ago, or by another program, is shown whole rather than cut. The
// box then holds more than the mechanic could type, and only for as long as
// the text needs it: each edit that shortens it lowers the limit again, down
// to the box's own, so typing never makes a field longer than its own limit.
class TypingLimit final : public QObject {
    Q_OBJECT

public:
    // Takes the box's present maximum length as its own limit.
    explicit TypingLimit(QLineEdit *box);

    // Shows a recalled text in the box, raising the limit just enough for it.
    static void showText(QLineEdit *box, const QString &text);

private:
    void shrinkToText();

    QLineEdit *box_;
    int ownLimit_;
};

// The main window's controls that show one act. This is the one place where
// the act is read from widgets and written into them.
struct ActControls {
    QDateTimeEdit *DTP = nullptr;
    QLineEdit *txtMIFNS = nullptr;
    QLineEdit *txtNameOrg = nullptr;
    QLineEdit *txtINN = nullptr;
    QComboBox *cmbNameKKM = nullptr;
    QLineEdit *txtZavNum = nullptr;
    QLineEdit *txtGodVyp = nullptr;
    QComboBox *cmbVidOp = nullptr;
    QLineEdit *txtEKLZ = nullptr;
    QCheckBox *chSoderjimoe = nullptr;
    QCheckBox *chProchest = nullptr;
    QComboBox *cmbTech = nullptr;
};

ActData readAct(const ActControls &controls);

// A deleted act's five text fields, exactly as stored.
void showArchivedTexts(const ActControls &controls, const ArchivedActTexts &texts);

// A recalled act. A stored list text selects the last item equal to it; a
// text no item holds (a name since taken out of the settings, an older
// program's operation type) is shown as an extra item marked as not from the
// lists, which goes at "Очистить" or the next recall; a stored text of blanks
// chooses none. A null mechanic or model reloads that list from the settings
// file; a null operation type chooses none. A date the picker cannot show
// leaves the picker alone. The inspectorate field is never touched.
void showRecalledAct(const ActControls &controls, const RecalledAct &act, const QString &iniPath);

// Puts a pick list into its box: the box is emptied first and left with
// nothing selected, so a reload also clears the choice the mechanic had made.
// A list that overflowed its key counter raises its Failure 6 once its items
// are in the box.
void fillPickList(QComboBox *list, const PickList &items);

// Selects the item whose text equals stored exactly (case-sensitive, untrimmed).
// Every item is compared, so of several equal items the last one wins; with no
// equal item the earlier selection stays. The list's items never change.
void selectMatchingItem(QComboBox *list, const QString &stored);

}  // namespace qm
