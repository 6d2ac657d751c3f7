#include "document/uno/calc_sheet.h"

#include "document/uno/uno_strings.h"

#include <QRegularExpression>

#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XText.hpp>

#include <utility>

using namespace Qt::StringLiterals;
using css::uno::Reference;

namespace qm::calc {

namespace {

// One cell in A1 notation; a range or a sheet-qualified name is refused here
// rather than half-written by the office.
bool isCellAddress(const QString &address)
{
    static const QRegularExpression pattern(u"^[A-Za-z]{1,3}[1-9][0-9]{0,6}$"_s);
    return pattern.match(address).hasMatch();
}

}  // namespace

CalcSheet::CalcSheet(std::shared_ptr<OfficeSession> session, Reference<css::sheet::XSpreadsheet> sheet)
    : session_(std::move(session)), sheet_(std::move(sheet))
{
}

void CalcSheet::setCellText(const QString &address, const QString &text)
{
    const QString action = u"записать ячейку %1"_s.arg(address);
    if (!isCellAddress(address))
        throw Failure(FailureCode::ApplicationDefined, u"Неверный адрес ячейки «%1»"_s.arg(address));
    session_->run(action, [&] {
        const Reference<css::table::XCellRange> range(sheet_, css::uno::UNO_QUERY_THROW);
        const Reference<css::table::XCell> cell =
            range->getCellRangeByName(toOUString(address))->getCellByPosition(0, 0);
        const Reference<css::text::XText> cellText(cell, css::uno::UNO_QUERY_THROW);
        cellText->setString(toOUString(text));
    });
}

}  // namespace qm::calc
