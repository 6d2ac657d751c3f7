#include "archive/dbf_archive.h"

#include "archive/dbf_file.h"
#include "archive/dbf_record_set.h"

using namespace Qt::StringLiterals;

namespace qm {

DbfArchive::DbfArchive(QString programFolder, std::chrono::milliseconds lockTimeout)
    : filePath_(programFolder.endsWith(u'/') ? programFolder + u"QM.dbf"_s : programFolder + u"/QM.dbf"_s),
      lockTimeout_(lockTimeout)
{
}

std::unique_ptr<ArchiveRecordSet> DbfArchive::open(ArchiveAccess access)
{
    const DbfOpenMode mode = access == ArchiveAccess::Writable ? DbfOpenMode::Write : DbfOpenMode::Read;
    return std::make_unique<DbfRecordSet>(std::make_unique<DbfFile>(filePath_, mode, lockTimeout_), access, u"QM"_s);
}

}  // namespace qm
