#pragma once

#include "common/failure.h"

#include <QDate>
#include <QList>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace qm {

// The archive's daily copies live in the folder "backup" beside QM.dbf, one
// per working day, "QM-YYYY-MM-DD.dbf": the archive as it stood before the
// first act of that day was appended. A copy, once there, is never changed.
QString archiveBackupFolder(const QString &programFolder);
QString archiveBackupFileName(const QDate &day);

struct ArchiveBackupFile {
    QString path;
    QDate day;
};

// The copies in a backup folder, newest day first. Files named otherwise are
// not ours and are left alone; a missing folder holds none.
QList<ArchiveBackupFile> listArchiveBackups(const QString &backupFolder);

// How an archive is backed up.
struct ArchiveBackupPlan {
    int keep = 0;  // how many daily copies are kept; 0 makes none
    // The calendar day on which an act is appended: the real clock, or a
    // test's.
    std::function<QDate()> today = [] { return QDate::currentDate(); };
};

// What the backup before an append did.
struct ArchiveBackupResult {
    bool made = false;               // this call made the day's copy
    std::optional<Failure> failure;  // the copy could not be made; the act is appended all the same
    bool oldCopiesLeft = false;      // the failure is of removing old copies: the day's copy is there
};

// Before an act is appended: makes today's copy of the archive unless it is
// there, then removes the copies the plan no longer keeps. Never throws.
//
// The copy takes the archive's lock only to read the committed record count,
// and copies that many records outside it: records only grow, and the one byte
// that can change in them, the deletion flag, is whole either way. So the copy
// never holds a half-written act, and never keeps another workstation waiting.
ArchiveBackupResult backUpArchiveForToday(const QString &archivePath, const QString &backupFolder,
                                          const ArchiveBackupPlan &plan, std::chrono::milliseconds lockTimeout);

// Copies the committed records of the archive to target, a new file published
// only when no file of that name exists: false when one did. Throws qm::Failure.
bool copyCommittedArchive(const QString &archivePath, const QString &target, std::chrono::milliseconds lockTimeout);

// Keeps the newest `keep` copies and the newest copy that holds acts, however
// old: a run of days with an empty archive must not take the last acts with
// it. Removes what an interrupted copy of an earlier day left behind.
void removeOldArchiveBackups(const QString &backupFolder, int keep, const QDate &today);

}  // namespace qm
