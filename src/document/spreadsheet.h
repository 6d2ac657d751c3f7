#pragma once

#include <QString>

#include <memory>

namespace qm {

// The sheet that receives the act's cells.
class SpreadsheetSheet {
public:
    virtual ~SpreadsheetSheet() = default;

    // Stores the text as the cell's value; always text, never a number or a formula.
    // address is in A1 notation ("C13").
    virtual void setCellText(const QString &address, const QString &text) = 0;
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
};

// Starts spreadsheet application instances.
class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;

    // A new hidden instance without workbooks. Throws qm::Failure.
    virtual std::unique_ptr<SpreadsheetInstance> startInstance() = 0;

    // Starting the application takes seconds the mechanic would otherwise wait
    // through at the first act. This begins a start without waiting for it and
    // never fails; the next startInstance() takes that instance over when it
    // came up, and starts one as usual when it did not.
    virtual void startInstanceAhead() {}

    // Ends an instance started ahead that no startInstance() took over, leaving
    // no process of it behind. One that was taken belongs to the user.
    virtual void endUnusedInstance() {}
};

}  // namespace qm
