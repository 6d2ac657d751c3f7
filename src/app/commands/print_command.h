#pragma once

#include "common/act_data.h"

#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

namespace qm {

class Archive;
class Failure;
class Prompts;
struct MessageRequest;
struct SavedAct;
class SpreadsheetApplication;
class SpreadsheetInstance;

// The values every command of the run shares. (The template path is the print
// command's own: it is derived afresh at each run.)
struct ProgramValues {
    QString programFolder;            // the folder of the settings, template and archive, no trailing separator
    QString IniPath;                  // settings file, set once at start
    qint16 PrintCopies = 1;           // copies offered for printing
    qint16 NullKeyCode = 127;         // key code that empties the field it is typed into
    bool SavePdf = true;              // a PDF copy of every act beside the archive
    bool pdfFailureShown = false;     // a PDF copy that failed is told once a run
    bool backupFailureShown = false;  // a failed daily backup is reported once per run
};

// What a run leaves for the main window to show.
struct PrintOutcome {
    std::optional<qint64> recordCount;  // the archive's new count; none when the act was not archived
    // Which once-a-run failures have been told by now: the window keeps them
    // for the next run.
    bool pdfFailureShown = false;
    bool backupFailureShown = false;
};

// "Печатать": makes sure the archive will take the act and has a doubtful ИНН
// confirmed, locates the template, fills a new workbook from it in a fresh
// spreadsheet instance, offers to print, shows the workbook, archives the act
// and keeps a PDF copy of it beside the archive. Every failure on the way is
// reported with its number (and logged) and, but for a bad template path, the
// mechanic may repeat exactly the step that failed. A workbook the command
// made and never showed is closed when it ends early.
//
// The command works on the act as it was when «Печатать» was pressed, and the
// window takes the outcome when it returns. That is sound only because no
// event loop runs inside a command but the modal ones of its prompts, which
// let the mechanic touch no other window: the form cannot change while the
// command runs. A step that let the window's events through (a modeless
// dialog, processEvents) would have to read the act afresh.
class PrintCommand {
public:
    // values: the run's settings, and which failures earlier runs have told.
    PrintCommand(ActData act, const ProgramValues &values, Prompts &prompts, SpreadsheetApplication &spreadsheet,
                 Archive &archive);
    ~PrintCommand();

    PrintOutcome run();

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
    void logFailure(const Failure &failure, Step step) const;

    QString templateBesideProgram() const;

    const ActData act_;
    const ProgramValues &values_;
    Prompts &prompts_;
    SpreadsheetApplication &spreadsheet_;
    Archive &archive_;

    std::unique_ptr<SpreadsheetInstance> instance_;
    // The template of this run: Quillmarch.xls beside the program, or the
    // file the mechanic chose when that one is missing. Derived afresh at
    // every run, so a template put in place meanwhile is found.
    QString TemplatePath;
    QString chosenFile_;
    bool printRequested_ = false;
    bool shown_ = false;
    // The archived act's record number in the file, and the archive's new count.
    quint32 recordNumber_ = 0;
    PrintOutcome outcome_;
};

// The mechanic is told of a backup failure once the act is archived: the act
// is safe, and either the day's copy of the archive is missing or old copies
// fill the disk. `saved` holds a backup failure.
MessageRequest backupFailureMessage(const SavedAct &saved);

}  // namespace qm
