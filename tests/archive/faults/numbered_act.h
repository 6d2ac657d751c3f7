#pragma once

#include "common/act_data.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace qm {
class Archive;
}

namespace qm::test {

// An act told apart from every other by its id: every field is derived from
// the id, so a record whose fields do not all belong to one id is torn or
// mixed. The id itself is stored in ZAVNUM (at most 12 characters).
struct NumberedAct {
    QString id;

    // The act as the main window would give it, with the sample settings' lists.
    ActData value() const;

    // The eleven fields as the archive stores them, in the order of the
    // table's columns (ACTDATE, MECHNAME, TYPEKKM, ZAVNUM, GODVYP, PRICHINA,
    // INN, EKLZREG, NAMEORG, E_SOHRAN, E_READABLE); logicals as "1"/"0".
    QStringList storedFields() const;
};

// The stored fields of the acts with these ids, in this order.
QList<QStringList> actsNamed(const QStringList &ids);

// Saves the acts with these ids, in this order, as «Печатать» does.
void saveActs(Archive &archive, const QStringList &ids);

// The columns of QM.dbf in file order, as createEmptyArchive lays them out.
QStringList archiveColumnsInFileOrder();

}  // namespace qm::test
