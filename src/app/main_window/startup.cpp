#include "app/main_window/startup.h"

#include "app/prompts/guarded_command.h"
#include "app/prompts/prompts.h"
#include "archive/archive_restore.h"
#include "archive/dbf_archive.h"
#include "archive/dbf_file.h"
#include "common/failure.h"
#include "common/program_log.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <optional>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

enum class RestoreChoice {
    NotOffered,  // the archive is neither refused as damaged nor missing beside its backups
    Restored,    // the newest readable backup is in place: start again
    Declined,    // the mechanic said no, or the restore failed and was reported: the program ends
};

// Why the archive cannot be used, when that is a case for a backup: refused
// as damaged, or missing. A locked or unreachable archive is not.
std::optional<Failure> archiveRefusal(const QString &archivePath)
{
    if (!QFileInfo::exists(archivePath)) {
        return Failure(FailureCode::FileNotFound,
                       u"Файл архива %1 не найден."_s.arg(QDir::toNativeSeparators(archivePath)));
    }
    try {
        const DbfFile probe(archivePath, DbfOpenMode::Read, DbfArchive::kDefaultLockTimeout);
    } catch (const Failure &failure) {
        if (failure.number() == FailureCode::TableCorrupt)
            return failure;
    }
    return std::nullopt;
}

QString dayText(const QDate &day)
{
    return day.toString(u"dd.MM.yyyy"_s);
}

MessageRequest restoreQuestion(const Failure &refusal, const ReadableBackup &backup, const QString &keptPath)
{
    QString text = u"Ошибка %1\r\n\r\n%2\r\n\r\nВосстановить архив из резервной копии от %3 (актов в ней: %4)?"
                   "\r\n\r\nВ копии нет актов, сохранённых %3 и позже."_s.arg(refusal.number())
                       .arg(refusal.description(), dayText(backup.file.day))
                       .arg(backup.actCount);
    if (!keptPath.isEmpty()) {
        text += u" Повреждённый файл архива будет сохранён рядом под именем %1: эти акты можно будет "
                "восстановить из него."_s.arg(QFileInfo(keptPath).fileName());
    }
    text += u"\r\n\r\nДа — восстановить архив из копии, Нет — завершить работу программы."_s;
    MessageRequest request;
    request.title = u"Quillmarch"_s;
    request.text = text;
    request.icon = PromptIcon::Warning;
    request.buttons = PromptButtons::YesNo;
    request.defaultButton = PromptAnswer::Yes;
    return request;
}

// When the archive in the program folder is refused as damaged, or is missing
// while backups of it exist, asks the mechanic whether to restore the newest
// readable backup, naming its date and number of acts and what it lacks; on
// «Да» keeps the damaged file beside it and puts a copy of the backup in
// place. Nothing is held locked while the question waits.
RestoreChoice offerArchiveRestore(const QString &programFolder, Prompts &prompts)
{
    const QString archivePath = programFolder + u"/QM.dbf"_s;
    const std::optional<Failure> refusal = archiveRefusal(archivePath);
    if (!refusal)
        return RestoreChoice::NotOffered;
    const std::optional<ReadableBackup> backup
        = newestReadableBackup(archiveBackupFolder(programFolder), DbfArchive::kDefaultLockTimeout);
    if (!backup)
        return RestoreChoice::NotOffered;

    // What the mechanic is asked about is what is replaced, or nothing is.
    const std::optional<QByteArray> judged = archiveFileDigest(archivePath);
    const QString keptPath = judged ? keptDamagedArchiveName(archivePath, QDateTime::currentDateTime()) : QString();
    logShownFailure(logArchive(), *refusal, u"archive refused at start-up", archivePath);
    if (prompts.message(restoreQuestion(*refusal, *backup, keptPath)) != PromptAnswer::Yes)
        return RestoreChoice::Declined;

    try {
        const RestoreOutcome outcome = restoreArchiveFromBackup(archivePath, backup->file.path, judged, keptPath,
                                                                DbfArchive::kDefaultLockTimeout);
        const QString kept = outcome.keptPath.isEmpty() ? QString() : u"damaged file kept as "_s + outcome.keptPath;
        qCInfo(logArchive).noquote() << (outcome.restored ? "restored" : "found changed, not restored") << archivePath
                                     << "from" << backup->file.path << kept;
    } catch (...) {
        const Failure failure = toFailure(std::current_exception());
        logShownFailure(logArchive(), failure, u"restore from backup", archivePath);
        prompts.message(unhandledFailureMessage(failure));
        return RestoreChoice::Declined;
    }
    return RestoreChoice::Restored;
}

}  // namespace

std::unique_ptr<Form1> startMainWindow(const MainWindowServices &services)
{
    // The start-up sequence's count is the first read of the archive: when it
    // is refused, a backup may be restored once, and the window started anew
    // on it.
    for (bool restoreOffered = false;; restoreOffered = true) {
        try {
            auto window = std::make_unique<Form1>(services);
            window->Form_Load();
            return window;
        } catch (...) {
            const Failure failure = toFailure(std::current_exception());
            if (!restoreOffered) {
                const RestoreChoice choice = offerArchiveRestore(services.programFolder, *services.prompts);
                if (choice == RestoreChoice::Restored)
                    continue;
                if (choice == RestoreChoice::Declined)
                    return nullptr;
            }
            logShownFailure(logApp(), failure, u"запуск", services.programFolder);
            services.prompts->message(unhandledFailureMessage(failure));
            return nullptr;
        }
    }
}

}  // namespace qm
