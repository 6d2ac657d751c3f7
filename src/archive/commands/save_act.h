#pragma once

#include "common/act_data.h"

#include <QList>
#include <QStringView>
#include <QVariant>

namespace qm {

class Archive;

// One archive column and the value an act stores in it.
struct ArchiveCell {
    QStringView field;
    QVariant value;
};

// The record an act becomes in the archive, in the order the save writes it.
QList<ArchiveCell> archiveRecordOf(const ActData &act);

// What a save leaves behind: the new record count, and the new record's
// number in the file (from 1), which names the act's own files for good.
struct SavedAct {
    qint64 recordCount = 0;
    quint32 recordNumber = 0;
};

// Appends the act to the archive. Throws qm::Failure; nothing is stored
// unless the append was committed.
SavedAct SaveActToArchive(const ActData &act, Archive &archive);

// Throws qm::Failure 3163, naming the field, when a value of the act is longer
// than its archive column: an archive made with narrower columns than the
// settings allow would otherwise refuse the act only after it was printed.
// An archive that cannot be read now is left for the save to report.
void CheckActFitsArchive(const ActData &act, Archive &archive);

// ACTDATE as stored: day.month.year without leading zeros ("6.1.2012").
QString archiveDateText(const QDate &date);

// EKLZREG as stored: exactly ten characters, padded with spaces or cut.
QString paddedRegistrationNumber(const QString &text);

}  // namespace qm
