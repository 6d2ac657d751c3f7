#include "app/program/program_folder.h"

#include "app/prompts/guarded_command.h"
#include "archive/archive_backup.h"
#include "common/failure.h"
#include "common/program_log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

QString withoutTrailingSeparator(const QString &folder)
{
    return QDir::cleanPath(QDir(folder).absolutePath());
}

void makeFolder(const QString &folder)
{
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (error || !QFileInfo(folder).isDir()) {
        const int number = error ? error.value() : ENOTDIR;
        throw Failure(FailureCode::PathFileAccessError,
                      u"Не удаётся создать папку программы %1: %2"_s.arg(QDir::toNativeSeparators(folder),
                                                                         systemErrorText(number)));
    }
}

// Copies a shipped file that the folder lacks. A copy of the program started
// at the same moment may have put it there first; that one is as good.
void copyIfMissing(const QString &shippedFolder, const QString &folder, QStringView name)
{
    const QString target = folder + u'/' + name.toString();
    if (QFileInfo::exists(target))
        return;
    const QString source = shippedFolder + u'/' + name.toString();
    if (!QFileInfo(source).isFile())
        throw Failure(FailureCode::FileNotFound,
                      u"Не найден файл %1, поставляемый с программой: переустановите программу"_s.arg(source));
    QFile file(source);
    if (!file.copy(target)) {
        if (QFileInfo::exists(target))
            return;
        throw Failure(FailureCode::PathFileAccessError,
                      u"Не удаётся скопировать %1 в папку программы %2: %3"_s.arg(source, folder, file.errorString()));
    }
    // The shipped file is read-only to the user; the copy is theirs to change.
    QFile::setPermissions(target, QFile::permissions(target) | QFile::ReadOwner | QFile::WriteOwner);
}

bool holdsProgramFiles(const QString &folder)
{
    for (const QStringView name : kProgramFileNames) {
        if (QFileInfo(folder + u'/' + name.toString()).isFile())
            return true;
    }
    return !listArchiveBackups(archiveBackupFolder(folder)).isEmpty();
}

}  // namespace

ProgramFolderPlaces placesOfThisRun(const QString &chosenFolder)
{
    return ProgramFolderPlaces{QCoreApplication::applicationDirPath(), chosenFolder,
                               QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)};
}

QString shippedFilesFolder(const QString &executableFolder)
{
    return QDir::cleanPath(executableFolder + u"/../share/quillmarch"_s);
}

QString prepareProgramFolder(const ProgramFolderPlaces &places)
{
    if (!places.chosenFolder.isEmpty()) {
        const QString chosen = withoutTrailingSeparator(places.chosenFolder);
        if (!QFileInfo(chosen).isDir())
            throw Failure(FailureCode::PathNotFound,
                          u"Папка программы %1, указанная в параметре --folder, не найдена"_s.arg(chosen));
        return chosen;
    }

    const QString executableFolder = withoutTrailingSeparator(places.executableFolder);
    if (holdsProgramFiles(executableFolder))
        return executableFolder;

    if (places.userDataFolder.isEmpty())
        throw Failure(FailureCode::PathNotFound, u"Не удаётся определить папку данных пользователя"_s);
    const QString folder = withoutTrailingSeparator(places.userDataFolder);
    makeFolder(folder);
    const QString shipped = shippedFilesFolder(executableFolder);
    const bool archiveHasBackups = !listArchiveBackups(archiveBackupFolder(folder)).isEmpty();
    for (const QStringView name : kProgramFileNames) {
        if (name == u"QM.dbf" && archiveHasBackups)
            continue;
        copyIfMissing(shipped, folder, name);
    }
    return folder;
}

std::optional<QString> openProgramFolder(const ProgramFolderPlaces &places, Prompts &prompts)
{
    try {
        return prepareProgramFolder(places);
    } catch (...) {
        const Failure failure = toFailure(std::current_exception());
        logShownFailure(logApp(), failure, u"папка программы", places.chosenFolder);
        prompts.message(unhandledFailureMessage(failure));
        return std::nullopt;
    }
}

}  // namespace qm
