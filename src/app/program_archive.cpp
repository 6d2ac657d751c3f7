#include "app/program_archive.h"

#include "settings/program_settings.h"

using namespace Qt::StringLiterals;

namespace qm {

std::unique_ptr<DbfArchive> makeProgramArchive(const QString &programFolder, std::function<QDate()> today)
{
    const int keep = readBackupDays(programFolder + u"/Quillmarch.ini"_s);
    return std::make_unique<DbfArchive>(programFolder, ArchiveBackupPlan{keep, std::move(today)});
}

}  // namespace qm
