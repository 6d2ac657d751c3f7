#include "app/commands/print_command.h"

#include "app/prompts/prompts.h"
#include "archive/archive_table.h"
#include "archive/save_act.h"
#include "common/act_files.h"
#include "common/failure.h"
#include "common/program_log.h"
#include "common/taxpayer_number.h"
#include "document/fill_act_template.h"
#include "document/spreadsheet.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

// Starting the office and loading the template take seconds.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// A number as the act's messages print it: a leading space for zero and
// positive numbers, the minus sign for negative ones.
QString withSignPosition(qint16 number)
{
    return number < 0 ? QString::number(number) : u" "_s + QString::number(number);
}

bool isUsableTemplateFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

// Steps that work on the spreadsheet instance: when it has gone away, their
// retry needs a fresh instance with a freshly filled workbook first.
bool needsLiveInstance(PrintCommand::Step step)
{
    return step == PrintCommand::Step::FillTemplate || step == PrintCommand::Step::Print
        || step == PrintCommand::Step::ShowInstance;
}

// How the log names a step.
QStringView stepName(PrintCommand::Step step)
{
    using Step = PrintCommand::Step;
    switch (step) {
    case Step::DryRunSave: return u"dry run of the save";
    case Step::ConfirmTaxpayerNumber: return u"taxpayer number question";
    case Step::DeriveTemplatePath: return u"template path";
    case Step::TestTemplateExists: return u"template test";
    case Step::AskForTemplate: return u"template dialog";
    case Step::TakeChosenTemplate: return u"chosen template";
    case Step::CheckOperationType: return u"operation type";
    case Step::StartInstance: return u"office start";
    case Step::FillTemplate: return u"template filling";
    case Step::AskToPrint: return u"print question";
    case Step::Print: return u"print";
    case Step::ShowInstance: return u"show";
    case Step::SaveToArchive: return u"archive save";
    case Step::SavePdfCopy: return u"PDF copy";
    case Step::ReleaseInstance: return u"release";
    case Step::Done: break;
    }
    return u"done";
}

// A failure that asking again cannot mend: its number and description, OK only.
void showWithoutRetry(Prompts &prompts, const Failure &failure, PromptIcon icon)
{
    MessageRequest request;
    request.title = u"Quillmarch"_s;
    request.text = QString::number(failure.number()) + u" : "_s + failure.description();
    request.icon = icon;
    request.buttons = PromptButtons::Ok;
    prompts.message(request);
}

}  // namespace

PrintCommand::PrintCommand(ActData act, const ProgramValues &values, Prompts &prompts,
                           SpreadsheetApplication &spreadsheet, Archive &archive)
    : act_(std::move(act)), values_(values), prompts_(prompts), spreadsheet_(spreadsheet), archive_(archive)
{
    outcome_.pdfFailureShown = values.pdfFailureShown;
    outcome_.backupFailureShown = values.backupFailureShown;
}

PrintCommand::~PrintCommand() = default;

QString PrintCommand::printQuestion(qint16 copies)
{
    return u"Печатать сразу  "_s + withSignPosition(copies) + u" копии ?"_s;
}

PrintOutcome PrintCommand::run()
{
    Step step = Step::DryRunSave;
    while (step != Step::Done) {
        try {
            step = runStep(step);
        } catch (...) {
            step = handleFailure(toFailure(std::current_exception()), step);
        }
    }
    // Ended early: what the mechanic was never shown must not stay open,
    // invisible, in the office.
    if (instance_ && !shown_)
        instance_->closeUnshownWorkbooks();
    instance_.reset();
    return outcome_;
}

PrintCommand::Step PrintCommand::runStep(Step step)
{
    switch (step) {
    case Step::DryRunSave: return dryRunSave();
    case Step::ConfirmTaxpayerNumber: return confirmTaxpayerNumber();
    case Step::DeriveTemplatePath: return deriveTemplatePath();
    case Step::TestTemplateExists: return testTemplateExists();
    case Step::AskForTemplate: return askForTemplate();
    case Step::TakeChosenTemplate: return takeChosenTemplate();
    case Step::CheckOperationType: return checkOperationType();
    case Step::StartInstance: return startInstance();
    case Step::FillTemplate: return fillTemplate();
    case Step::AskToPrint: return askToPrint();
    case Step::Print: return print();
    case Step::ShowInstance: return showInstance();
    case Step::SaveToArchive: return saveToArchive();
    case Step::SavePdfCopy: return savePdfCopy();
    case Step::ReleaseInstance: return releaseInstance();
    case Step::Done: break;
    }
    return Step::Done;
}

// The archive's steps are logged under the archive with QM.dbf, the others
// under the document with the template. Only file names: the act's contents
// stay out of the log.
void PrintCommand::logFailure(const Failure &failure, Step step) const
{
    if (step == Step::DryRunSave || step == Step::SaveToArchive)
        logShownFailure(logArchive(), failure, stepName(step), values_.programFolder + u"/QM.dbf"_s);
    else
        logShownFailure(logDocument(), failure, stepName(step), TemplatePath);
}

PrintCommand::Step PrintCommand::handleFailure(const Failure &failure, Step failedStep)
{
    logFailure(failure, failedStep);
    if (failure.number() == FailureCode::TemplatePathInvalid) {
        MessageRequest request;
        request.title = u"Глюк !"_s;
        request.text = u"Каталог недоступен или неверное имя файла. Проверьте правильность пути ! \r\n\r\n"_s;
        request.icon = PromptIcon::None;
        request.buttons = PromptButtons::Ok;
        prompts_.message(request);
        return Step::Done;
    }

    MessageRequest request;
    request.title = u"Quillmarch"_s;
    request.text = QString::number(failure.number()) + u" : "_s + failure.description() + u"\r\nПовторить ?"_s;
    request.icon = PromptIcon::None;
    request.buttons = PromptButtons::YesNo;
    request.defaultButton = PromptAnswer::Yes;
    if (prompts_.message(request) != PromptAnswer::Yes)
        return Step::Done;

    if (failure.number() == FailureCode::ServerUnavailable && needsLiveInstance(failedStep)) {
        instance_.reset();
        shown_ = false;
        return Step::StartInstance;
    }
    return failedStep;
}

QString PrintCommand::templateBesideProgram() const
{
    return values_.programFolder + u"/Quillmarch.xls"_s;
}

PrintCommand::Step PrintCommand::dryRunSave()
{
    // An act the archive would refuse must not be printed: the save would
    // fail after the copies were handed over, and fail again on every retry.
    // A failure that may pass (the archive locked elsewhere or missing just
    // now) goes to the handler, which offers to run this check again.
    try {
        // Up to the lock's wait when another workstation is saving.
        const WaitCursor wait;
        checkArchiveTakesAct(act_, archive_);
    } catch (const ArchiveRefusesAct &refusal) {
        logFailure(refusal, Step::DryRunSave);
        showWithoutRetry(prompts_, refusal, PromptIcon::Critical);
        return Step::Done;
    }
    return Step::ConfirmTaxpayerNumber;
}

PrintCommand::Step PrintCommand::confirmTaxpayerNumber()
{
    const QString inn = act_.inn;
    if (!taxpayerNumberWantsConfirmation(inn))
        return Step::DeriveTemplatePath;
    MessageRequest request;
    request.title = u"Quillmarch"_s;
    request.text = u"ИНН %1 не проходит проверку. Печатать акт?"_s.arg(inn);
    request.icon = PromptIcon::Warning;
    request.buttons = PromptButtons::YesNo;
    // A hurried Enter must not put a wrong number onto a legal document.
    request.defaultButton = PromptAnswer::No;
    return prompts_.message(request) == PromptAnswer::Yes ? Step::DeriveTemplatePath : Step::Done;
}

PrintCommand::Step PrintCommand::deriveTemplatePath()
{
    TemplatePath = templateBesideProgram();
    return Step::TestTemplateExists;
}

PrintCommand::Step PrintCommand::testTemplateExists()
{
    return isUsableTemplateFile(TemplatePath) ? Step::CheckOperationType : Step::AskForTemplate;
}

PrintCommand::Step PrintCommand::askForTemplate()
{
    OpenFileRequest request;
    request.fileName = QString();
    request.filter = u"Шаблон акта|Quillmarch.xls"_s;
    request.title = u"Укажите местонахождение шаблона заключения"_s;
    chosenFile_ = prompts_.openFile(request);
    return Step::TakeChosenTemplate;
}

PrintCommand::Step PrintCommand::takeChosenTemplate()
{
    if (chosenFile_.isEmpty()) {
        // Cancel: the template may have been put beside the program meanwhile.
        // Otherwise the mechanic wants out, and gets out with the act intact.
        TemplatePath = templateBesideProgram();
        return isUsableTemplateFile(TemplatePath) ? Step::CheckOperationType : Step::Done;
    }
    TemplatePath = chosenFile_;
    return Step::CheckOperationType;
}

PrintCommand::Step PrintCommand::checkOperationType()
{
    if (!act_.operationType) {
        MessageRequest request;
        request.title = u"Quillmarch"_s;
        request.text = u"Выберите тип операции"_s;
        request.icon = PromptIcon::Critical;
        request.buttons = PromptButtons::Ok;
        prompts_.message(request);
    }
    return Step::StartInstance;
}

PrintCommand::Step PrintCommand::startInstance()
{
    const WaitCursor wait;
    instance_ = spreadsheet_.startInstance();
    return Step::FillTemplate;
}

PrintCommand::Step PrintCommand::fillTemplate()
{
    const WaitCursor wait;
    FillActTemplate(*instance_, act_, TemplatePath);
    return Step::AskToPrint;
}

PrintCommand::Step PrintCommand::askToPrint()
{
    MessageRequest request;
    request.title = u"Sheetsmith"_s;
    request.text = printQuestion(values_.PrintCopies);
    request.icon = PromptIcon::None;
    request.buttons = PromptButtons::YesNo;
    request.defaultButton = PromptAnswer::Yes;
    printRequested_ = prompts_.message(request) == PromptAnswer::Yes;
    return Step::Print;
}

PrintCommand::Step PrintCommand::print()
{
    if (printRequested_ && values_.PrintCopies < 1) {
        // A spreadsheet prints one copy for 0 and nothing for fewer: that must
        // never look like a successful print. Asking again cannot change the
        // settings, and the act is still shown and archived, printed or not.
        const Failure noCopies(FailureCode::ApplicationDefined,
                               u"Число копий для печати (%1) должно быть не меньше 1. Проверьте ключ Quan "
                               "в разделе [ActNumber] файла Quillmarch.ini."_s.arg(values_.PrintCopies));
        // The fault is in the settings file, not in the template.
        logShownFailure(logDocument(), noCopies, stepName(Step::Print), values_.IniPath);
        showWithoutRetry(prompts_, noCopies, PromptIcon::Warning);
    } else if (printRequested_) {
        const WaitCursor wait;
        instance_->printActiveWorkbook(values_.PrintCopies);
    }
    return Step::ShowInstance;
}

PrintCommand::Step PrintCommand::showInstance()
{
    instance_->setVisible(true);
    shown_ = true;
    return Step::SaveToArchive;
}

PrintCommand::Step PrintCommand::saveToArchive()
{
    const SavedAct saved = SaveActToArchive(act_, archive_);
    recordNumber_ = saved.recordNumber;
    outcome_.recordCount = saved.recordCount;
    // The act is archived: a missing backup is news, not a reason to repeat
    // the save. Told once, not at every act of the day; the log keeps each
    // one, for a fault that changes in the course of the day.
    if (saved.backupFailure) {
        const bool shown = outcome_.backupFailureShown;
        logShownFailure(logArchive(), *saved.backupFailure, shown ? u"daily backup, not shown again" : u"daily backup");
        if (!shown) {
            outcome_.backupFailureShown = true;
            prompts_.message(backupFailureMessage(saved));
        }
    }
    return Step::SavePdfCopy;
}

// The copy is written under a name of its own and renamed when complete: a
// half-written file never passes for the act's copy.
PrintCommand::Step PrintCommand::savePdfCopy()
{
    if (!values_.SavePdf)
        return Step::ReleaseInstance;
    const QString folder = actPdfFolder(values_.programFolder);
    const QString path
        = folder + u'/' + actPdfFileName(act_.date.date(), act_.customer, act_.serialNumber, recordNumber_);
    const QString partial = folder + u"/.~"_s + QFileInfo(path).fileName();
    try {
        if (!QDir().mkpath(folder))
            throw Failure(FailureCode::PathFileAccessError,
                          u"Не удаётся создать папку %1 для копий актов"_s.arg(QDir::toNativeSeparators(folder)));
        instance_->exportActiveWorkbookAsPdf(partial);
        keepEarlierCopyAside(path);
        if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) != 0)
            throw Failure(FailureCode::PathFileAccessError,
                          u"Не удаётся записать файл %1"_s.arg(QDir::toNativeSeparators(path)));
    } catch (...) {
        QFile::remove(partial);
        reportPdfFailure(toFailure(std::current_exception()), path);
    }
    return Step::ReleaseInstance;
}

// A copy under this act's name is another act's: record numbers come round
// again only when an older archive was put back in place, and the copy may
// then be all that is left of the act the restore lost. It is never replaced.
void PrintCommand::keepEarlierCopyAside(const QString &path)
{
    if (!QFileInfo::exists(path))
        return;
    const QString stem = path.chopped(4);  // ".pdf"
    QString aside = stem + u" (прежняя копия).pdf"_s;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = stem + u" (прежняя копия %1).pdf"_s.arg(n);
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0)
        throw Failure(FailureCode::PathFileAccessError,
                      u"Не удаётся сохранить прежнюю копию %1 под другим именем"_s.arg(QDir::toNativeSeparators(path)));
    qCInfo(logDocument).noquote() << "an earlier PDF copy under the act's name kept as" << aside;
}

// The act is archived by now whatever happens here. A fault that stays (a
// folder that cannot be written) would otherwise greet every act.
void PrintCommand::reportPdfFailure(const Failure &failure, const QString &pdfPath)
{
    if (outcome_.pdfFailureShown) {
        qCWarning(logDocument).noquote() << "PDF copy not written again:" << failure.number() << pdfPath
                                         << failure.technicalDetail();
        return;
    }
    outcome_.pdfFailureShown = true;
    logShownFailure(logDocument(), failure, stepName(Step::SavePdfCopy), pdfPath);
    MessageRequest request;
    request.title = u"Quillmarch"_s;
    request.text = QString::number(failure.number()) + u" : "_s + failure.description()
        + u"\r\nКопия акта в PDF не сохранена; акт сохранён в архиве."_s;
    request.icon = PromptIcon::Warning;
    request.buttons = PromptButtons::Ok;
    prompts_.message(request);
}

PrintCommand::Step PrintCommand::releaseInstance()
{
    instance_.reset();
    return Step::Done;
}

MessageRequest backupFailureMessage(const SavedAct &saved)
{
    // Old copies are removed only after the day's copy is made, and tried
    // again only on the next day that has no copy yet.
    const QString advice = saved.oldBackupsLeft
        ? u"Акт сохранён в архиве, и резервная копия архива за этот день сделана. Дайте доступ к папке backup "
          "или удалите старые копии из неё сами: программа снова попробует удалить их при сохранении первого "
          "акта следующего дня."_s
        : u"Акт сохранён в архиве. Освободите место на диске или дайте доступ к папке backup: копия будет "
          "сделана при сохранении следующего акта."_s;
    MessageRequest request;
    request.title = u"Quillmarch"_s;
    request.text = u"Ошибка %1\r\n\r\n%2\r\n\r\n%3"_s.arg(QString::number(saved.backupFailure->number()),
                                                          saved.backupFailure->description(), advice);
    request.icon = PromptIcon::Warning;
    request.buttons = PromptButtons::Ok;
    return request;
}

}  // namespace qm
