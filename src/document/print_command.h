#pragma once

#include "common/act_data.h"
#include "common/program_values.h"

#include <functional>
#include <memory>

namespace qm {

class Archive;
class Failure;
class Prompts;
class SpreadsheetApplication;
class SpreadsheetInstance;

// The main window as the print command sees it.
struct PrintCommandWindow {
    // The act as the form shows it at this moment: it is read when the
    // template is filled and read again when the act is archived.
    std::function<ActData()> currentAct;
    std::function<void(qint64)> showRecordCount;
};

// "Печатать": makes sure the archive will take the act and has a doubtful ИНН
// confirmed, locates the template, fills a new workbook from it in a fresh
// spreadsheet instance, offers to print, shows the workbook, archives the act
// and keeps a PDF copy of it beside the archive. Every failure on the way is
// reported with its number (and logged) and, but for a bad template path, the
// mechanic may repeat exactly the step that failed. A workbook the command
// made and never showed is closed when it ends early.
class PrintCommand {
public:
    PrintCommand(PrintCommandWindow window, ProgramValues &values, Prompts &prompts,
                 SpreadsheetApplication &spreadsheet, Archive &archive);
    ~PrintCommand();

    void run();

    enum class Step {
        DryRunSave,
        ConfirmTaxpayerNumber,
        DeriveTemplatePath,
        TestTemplateExists,
        AskForTemplate,
        TakeChosenTemplate,
        CheckOperationType,
        StartInstance,
        FillTemplate,
        AskToPrint,
        Print,
        ShowInstance,
        SaveToArchive,
        SavePdfCopy,
        ReleaseInstance,
        Done,
    };

    // "Печатать сразу   2 копии ?"
    static QString printQuestion(qint16 copies);

private:
    Step runStep(Step step);
    // Returns the step to go on with, or Done when the mechanic gives up.
    Step handleFailure(const Failure &failure, Step failedStep);

    Step dryRunSave();
    Step confirmTaxpayerNumber();
    Step deriveTemplatePath();
    Step testTemplateExists();
    Step askForTemplate();
    Step takeChosenTemplate();
    Step checkOperationType();
    Step startInstance();
    Step fillTemplate();
    Step askToPrint();
    Step print();
    Step showInstance();
    Step saveToArchive();
    Step savePdfCopy();
    Step releaseInstance();
    static void keepEarlierCopyAside(const QString &path);
    void reportPdfFailure(const Failure &failure, const QString &pdfPath);

    QString templateBesideProgram() const;

    PrintCommandWindow window_;
    ProgramValues &values_;
    Prompts &prompts_;
    SpreadsheetApplication &spreadsheet_;
    Archive &archive_;

    std::unique_ptr<SpreadsheetInstance> instance_;
    QString chosenFile_;
    bool printRequested_ = false;
    bool shown_ = false;
    // The act as archived, and its record's number in the archive file.
    ActData archivedAct_;
    quint32 recordNumber_ = 0;
};

}  // namespace qm
