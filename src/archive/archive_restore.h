#pragma once

#include "archive/archive_backup.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <optional>

namespace qm {

// A daily copy that opens as an archive, with the number of acts it holds.
struct ReadableBackup {
    ArchiveBackupFile file;
    int actCount = 0;
};

// The newest copy in the backup folder that opens as an archive; copies that
// are refused are passed over. Nothing when there is none.
std::optional<ReadableBackup> newestReadableBackup(const QString &backupFolder, std::chrono::milliseconds lockTimeout);

// The SHA-256 of a file's bytes; nothing when there is no such file.
std::optional<QByteArray> archiveFileDigest(const QString &path);

// The name beside the archive under which its damaged file is kept:
// "QM-damaged-YYYY-MM-DD-HHMMSS.dbf", with a number added when that is taken.
QString keptDamagedArchiveName(const QString &archivePath, const QDateTime &when);

struct RestoreOutcome {
    bool restored = false;  // false: the archive changed since it was judged, nothing was done
    QString keptPath;       // where the damaged file is kept; empty when there was none
};

// Puts a copy of the backup in place of the archive at archivePath.
//
// `judged` is the digest of the archive's bytes when it was found damaged, or
// nothing when it was missing. Under the archive's exclusive lock the file is
// read again and compared: when another workstation has restored or replaced
// it meanwhile, nothing is done. Otherwise the damaged file is first kept
// under keptPath (nothing is ever deleted), then the copy replaces it in one
// step. A missing archive is put in place only while it is still missing.
// Throws qm::Failure.
RestoreOutcome restoreArchiveFromBackup(const QString &archivePath, const QString &backupPath,
                                        const std::optional<QByteArray> &judged, const QString &keptPath,
                                        std::chrono::milliseconds lockTimeout);

}  // namespace qm
