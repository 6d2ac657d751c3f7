#pragma once

#include "document/spreadsheet.h"
#include "document/uno/uno_failure.h"

#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include <memory>

namespace qm::calc {

// One sheet of a Calc document.
class CalcSheet : public SpreadsheetSheet {
public:
    CalcSheet(std::shared_ptr<OfficeSession> session, css::uno::Reference<css::sheet::XSpreadsheet> sheet);

    // The text goes in as the cell's text: "0123" and "01.03.2027г." stay as
    // typed, where entering them as input would make a number or a date of them.
    void setCellText(const QString &address, const QString &text) override;
    // One write per run of cells side by side in a row (the act's 37 cells
    // take 17), where one cell at a time costs several calls to the office.
    void setCellTexts(const std::vector<CellText> &cells) override;

    const css::uno::Reference<css::sheet::XSpreadsheet> &sheet() const { return sheet_; }

private:
    std::shared_ptr<OfficeSession> session_;
    css::uno::Reference<css::sheet::XSpreadsheet> sheet_;
};

}  // namespace qm::calc
