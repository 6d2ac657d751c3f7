#pragma once

#include "archive/archive_backup.h"
#include "archive/archive_table.h"

#include <QString>

#include <chrono>

namespace qm {

// The archive table QM as the dBASE file QM.dbf in the program folder. Every
// open() opens and locks the file afresh; nothing is cached between uses, and
// the file is never created here. With a backup plan, the first act of each
// day has the archive copied into the folder "backup" beside it first.
class DbfArchive final : public Archive {
public:
    static constexpr std::chrono::milliseconds kDefaultLockTimeout{5000};

    explicit DbfArchive(QString programFolder, std::chrono::milliseconds lockTimeout = kDefaultLockTimeout);
    DbfArchive(QString programFolder, ArchiveBackupPlan backup,
               std::chrono::milliseconds lockTimeout = kDefaultLockTimeout);

    QString filePath() const { return filePath_; }
    QString backupFolder() const { return backupFolder_; }
    std::unique_ptr<ArchiveRecordSet> open(ArchiveAccess access) override;
    std::unique_ptr<ArchiveSnapshot> snapshot() override;
    ArchiveBackupResult backUpBeforeAppend() override;

private:
    QString filePath_;
    QString backupFolder_;
    ArchiveBackupPlan backup_;
    std::chrono::milliseconds lockTimeout_;
};

}  // namespace qm
