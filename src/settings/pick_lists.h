#pragma once

#include "common/failure.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace qm {

// One pick list as the settings give it.
struct PickList {
    QStringList items;
    // Set when the list reached key 32767: that item is in `items`, and the
    // failure is raised once the list has been shown.
    std::optional<Failure> overflow;
};

// The pick-list loaders. The window that shows a list empties it first and
// leaves nothing selected, so a reload also clears the choice the mechanic
// had made.
//
// The mechanics and the models come from the numbered keys Tech1, Tech2, ...
// of section "TechNames" and KKM1, KKM2, ... of section "KKM", in key order,
// up to the first key that is missing or empty. The file is read afresh on
// every call, so names added while the program runs appear at the next reload.
// A list reaching key 32767 overflows the 16-bit key counter (Failure 6).
PickList LoadTechnicians(const QString &iniPath);
PickList LoadKkmModels(const QString &iniPath);

// The five operation types, fixed texts written to the act and the archive
// exactly as they stand.
PickList LoadOperationTypes();
QStringList operationTypeTexts();

}  // namespace qm
