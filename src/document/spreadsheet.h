#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace qm {

// One cell's text; address in A1 notation ("C13").
struct CellText {
    QString address;
    QString text;
};

// The sheet that receives the act's cells.
class SpreadsheetSheet {
public:
    virtual ~SpreadsheetSheet() = default;

    // Stores the text as the cell's value; always text, never a number or a formula.
    virtual void setCellText(const QString &address, const QString &text) = 0;

    // The same for many cells, each written once, in as few calls to the
    // application as it allows; the cells end up exactly as if written one by
    // one. A failure may leave some of them written.
    virtual void setCellTexts(const std::vector<CellText> &cells)
    {
        for (const CellText &cell : cells)
            setCellText(cell.address, cell.text);
    }
};

// One running instance of the spreadsheet application, hidden until made visible.
// Destroying the object releases our reference only: the application and its
// workbooks stay open for the user. Every operation throws qm::Failure.
class SpreadsheetInstance {
public:
    virtual ~SpreadsheetInstance() = default;

    // Application-wide option: number of sheets in a new blank workbook.
    virtual void setSheetsInNewWorkbook(int count) = 0;

    // A new unsaved workbook made from the template file becomes the active one;
    // the template itself is never opened for editing.
    virtual void addWorkbookFromTemplate(const QString &templatePath) = 0;

    // The active workbook's sheet that was active when the template was saved.
    virtual std::unique_ptr<SpreadsheetSheet> activeSheet() = 0;

    // Prints the active workbook in that many copies with the default settings.
    virtual void printActiveWorkbook(int copies) = 0;

    // Shows the instance and its workbooks on screen.
    virtual void setVisible(bool visible) = 0;

    // Writes the active workbook to a PDF file through the application's own
    // export, replacing a file of that name. The folder must exist.
    virtual void exportActiveWorkbookAsPdf(const QString &pdfPath) = 0;

    // Closes the workbooks made here that were never shown: a command that
    // ends early leaves nothing hidden behind. Never fails.
    virtual void closeUnshownWorkbooks() noexcept = 0;
};

// Starts spreadsheet application instances.
class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;

    // A hidden instance of our own for one act. Throws qm::Failure.
    virtual std::unique_ptr<SpreadsheetInstance> startInstance() = 0;

    // Starting the application takes seconds the mechanic would otherwise wait
    // through at the first act. This begins a start without waiting for it and
    // never fails; the next startInstance() takes that instance over when it
    // came up, and starts one as usual when it did not. Given the template,
    // the application may get ready for it meanwhile.
    virtual void startInstanceAhead(const QString &templatePath = {}) { (void)templatePath; }

    // Ends every application process the program started that holds nothing
    // of the user's, after closing what the program left hidden in it. The
    // acts shown and the user's own documents keep theirs running; an
    // application the user had running before is never ended. Never fails.
    virtual void endUnusedInstance() noexcept {}
};

}  // namespace qm
