#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

namespace qm {

// The pick-list loaders. Each empties its list first and leaves nothing
// selected, so a reload also clears the choice the mechanic had made.
//
// The mechanics and the models come from the numbered keys Tech1, Tech2, ...
// of section "TechNames" and KKM1, KKM2, ... of section "KKM", in key order,
// up to the first key that is missing or empty. The file is read afresh on
// every call, so names added while the program runs appear at the next reload.
// A list reaching key 32767 overflows the 16-bit key counter: that item is
// added, then Failure 6 is raised.
void LoadTechnicians(const QString &iniPath, QComboBox *list);
void LoadKkmModels(const QString &iniPath, QComboBox *list);

// The five operation types, fixed texts written to the act and the archive
// exactly as they stand.
void LoadOperationTypes(QComboBox *list);
QStringList operationTypeTexts();

}  // namespace qm
