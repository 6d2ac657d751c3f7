#pragma once

#include "document/uno/libreoffice_calc.h"
#include "document/uno/uno_failure.h"

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

#include <memory>
#include <optional>
#include <vector>

namespace qm::calc {

// One act's use of an office, and the workbooks made for it there. The last
// workbook made from a template is the active one. Destroying the object only
// drops our references: the office and the workbooks shown stay for the user.
class CalcInstance : public LibreOfficeInstance {
public:
    CalcInstance(std::shared_ptr<OfficeSession> session, QString printToFile);
    CalcInstance(OfficeConnection connection, QString printToFile);

    bool isAlive() const override;
    void setSheetsInNewWorkbook(int count) override;
    void addWorkbookFromTemplate(const QString &templatePath) override;
    std::unique_ptr<SpreadsheetSheet> activeSheet() override;
    void printActiveWorkbook(int copies) override;
    void setVisible(bool visible) override;
    void exportActiveWorkbookAsPdf(const QString &pdfPath) override;
    void closeUnshownWorkbooks() noexcept override;

    // The office behind this instance (tests read it back and shut it down).
    const OfficeConnection &connection() const { return session_->connection(); }
    const css::uno::Reference<css::sheet::XSpreadsheetDocument> &activeWorkbook() const { return workbook_; }

    // What the template file says about itself, kept until the file changes.
    struct TemplateFacts;

private:
    TemplateFacts templateFacts(const QString &templatePath, const rtl::OUString &url);
    const css::uno::Reference<css::sheet::XSpreadsheetDocument> &requireWorkbook(const QString &action) const;
    css::uno::Reference<css::sheet::XSpreadsheet> savedActiveSheet() const;

    std::shared_ptr<OfficeSession> session_;
    QString printToFile_;
    css::uno::Reference<css::sheet::XSpreadsheetDocument> workbook_;
    // Every workbook made here, the active one last. Showing the instance shows
    // them all: one left hidden (a fill that failed half-way and was repeated)
    // could be neither seen nor closed, and would keep the office running.
    std::vector<css::uno::Reference<css::sheet::XSpreadsheetDocument>> workbooks_;
    bool shown_ = false;
    // Read from an Excel template's own file: the office cannot tell it for a
    // hidden document.
    std::optional<int> savedActiveIndex_;
};

}  // namespace qm::calc
