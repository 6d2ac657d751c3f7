#include "archive/dbf_archive.h"

#include "archive/archive_snapshot.h"
#include "archive/dbf_file.h"
#include "archive/dbf_record_set.h"

using namespace Qt::StringLiterals;

namespace qm {

DbfArchive::DbfArchive(QString programFolder, std::chrono::milliseconds lockTimeout)
    : DbfArchive(std::move(programFolder), ArchiveBackupPlan{}, lockTimeout)
{
}

DbfArchive::DbfArchive(QString programFolder, ArchiveBackupPlan backup, std::chrono::milliseconds lockTimeout)
    : filePath_(programFolder.endsWith(u'/') ? programFolder + u"QM.dbf"_s : programFolder + u"/QM.dbf"_s),
      backupFolder_(archiveBackupFolder(programFolder.endsWith(u'/') ? programFolder.chopped(1) : programFolder)),
      backup_(std::move(backup)), lockTimeout_(lockTimeout)
{
}

ArchiveBackupResult DbfArchive::backUpBeforeAppend()
{
    return backUpArchiveForToday(filePath_, backupFolder_, backup_, lockTimeout_);
}

std::unique_ptr<ArchiveRecordSet> DbfArchive::open(ArchiveAccess access)
{
    const DbfOpenMode mode = access == ArchiveAccess::Writable ? DbfOpenMode::Write : DbfOpenMode::Read;
    return std::make_unique<DbfRecordSet>(std::make_unique<DbfFile>(filePath_, mode, lockTimeout_), access, u"QM"_s);
}

std::unique_ptr<ArchiveSnapshot> DbfArchive::snapshot()
{
    return std::make_unique<ArchiveSnapshot>(filePath_, lockTimeout_);
}

}  // namespace qm
