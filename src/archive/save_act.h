#pragma once

#include "common/act_data.h"
#include "common/failure.h"

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
// save, or could not be made, or old copies could not be removed after it:
// the act is archived all the same.
struct SavedAct {
    qint64 recordCount = 0;
    quint32 recordNumber = 0;
    bool backupMade = false;
    std::optional<Failure> backupFailure;
    bool oldBackupsLeft = false;  // the failure is of removing old copies
};

// Appends the act to the archive, after the day's backup when it is the first
// act of the day. Throws qm::Failure; nothing is stored unless the append was
// committed.
SavedAct SaveActToArchive(const ActData &act, Archive &archive);

// The archive refuses this act for as long as neither the act nor the archive
// file is changed: asking again cannot help.
class ArchiveRefusesAct final : public Failure {
public:
    using Failure::Failure;
};

// A dry run of SaveActToArchive that stores nothing: the archive is opened for
// writing and the act's record is encoded with the table's own columns, types,
// widths and code page, then given up. Throws ArchiveRefusesAct, naming the
// field in the mechanic's words and the reason, when the save would refuse the
// act or the archive cannot be written at all (damaged, read-only); any other
// qm::Failure (the archive missing or locked by another workstation at this
// moment) may pass by the time the mechanic asks again. The archive's lock is
// released before anything is thrown.
void checkArchiveTakesAct(const ActData &act, Archive &archive);

// What the mechanic calls an archive column: the label beside its field in
// the main window.
QString archiveFieldCaption(QStringView field);

// ACTDATE as stored: day.month.year without leading zeros ("6.1.2012").
QString archiveDateText(const QDate &date);

// EKLZREG as stored: exactly ten characters, padded with spaces or cut.
QString paddedRegistrationNumber(const QString &text);

}  // namespace qm
