#pragma once

#include "common/act_data.h"
#include "common/failure.h"
#include "common/prompts.h"

#include <QList>
#include <QStringView>
#include <QVariant>

#include <optional>

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
// The day's backup, when this was the first act of the day, was made by this
// save, or could not be made: the act is archived all the same.
struct SavedAct {
    qint64 recordCount = 0;
    quint32 recordNumber = 0;
    bool backupMade = false;
    std::optional<Failure> backupFailure;
};

// Appends the act to the archive, after the day's backup when it is the first
// act of the day. Throws qm::Failure; nothing is stored unless the append was
// committed.
SavedAct SaveActToArchive(const ActData &act, Archive &archive);

// The mechanic is told of a backup that could not be made once the act is
// archived: the act is safe, the copy of the archive is missing.
MessageRequest backupFailureMessage(const Failure &failure);

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
