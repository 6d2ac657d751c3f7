#include "document/uno/calc_sheet.h"

#include "document/uno/uno_values.h"

#include <QRegularExpression>

#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/uno/Sequence.hxx>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;

namespace qm::calc {

namespace {

// One cell in A1 notation; a range or a sheet-qualified name is refused here
// rather than half-written by the office.
bool isCellAddress(const QString &address)
{
    static const QRegularExpression pattern(u"^[A-Za-z]{1,3}[1-9][0-9]{0,6}$"_s);
    return pattern.match(address).hasMatch();
}

struct CellPosition {
    sal_Int32 column = 0;  // 0-based
    sal_Int32 row = 0;     // 0-based
    QString address;
    QString text;
};

CellPosition positionOf(const CellText &cell)
{
    if (!isCellAddress(cell.address))
        throw Failure(FailureCode::ApplicationDefined, u"Неверный адрес ячейки «%1»"_s.arg(cell.address));
    CellPosition position;
    qsizetype i = 0;
    for (; cell.address[i].isLetter(); ++i)
        position.column = position.column * 26 + (cell.address[i].toUpper().unicode() - u'A' + 1);
    --position.column;
    position.row = cell.address.mid(i).toInt() - 1;
    position.address = cell.address;
    position.text = cell.text;
    return position;
}

// Runs of cells side by side in one row: each is one write.
std::vector<std::vector<CellPosition>> rowRuns(const std::vector<CellText> &cells)
{
    std::vector<CellPosition> positions;
    positions.reserve(cells.size());
    for (const CellText &cell : cells)
        positions.push_back(positionOf(cell));
    std::stable_sort(positions.begin(), positions.end(), [](const CellPosition &a, const CellPosition &b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    std::vector<std::vector<CellPosition>> runs;
    for (const CellPosition &position : positions) {
        if (!runs.empty() && runs.back().back().row == position.row && runs.back().back().column + 1 == position.column)
            runs.back().push_back(position);
        else
            runs.push_back({position});
    }
    return runs;
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
        const Reference<css::table::XCell> cell
            = range->getCellRangeByName(toOUString(address))->getCellByPosition(0, 0);
        const Reference<css::text::XText> cellText(cell, css::uno::UNO_QUERY_THROW);
        cellText->setString(toOUString(text));
    });
}

void CalcSheet::setCellTexts(const std::vector<CellText> &cells)
{
    const std::vector<std::vector<CellPosition>> runs = rowRuns(cells);
    for (const std::vector<CellPosition> &run : runs) {
        const CellPosition &first = run.front();
        const QString action = run.size() == 1 ? u"записать ячейку %1"_s.arg(first.address)
                                               : u"записать ячейки %1:%2"_s.arg(first.address, run.back().address);
        session_->run(action, [&] {
            // Strings of a data array go in as text, as the cell's own text
            // does: "007" and "=1+1" stay what was typed.
            Sequence<Any> row(static_cast<sal_Int32>(run.size()));
            Any *values = row.getArray();
            for (std::size_t i = 0; i < run.size(); ++i)
                values[i] <<= toOUString(run[i].text);
            const Reference<css::sheet::XCellRangeData> range(
                sheet_->getCellRangeByPosition(first.column, first.row, run.back().column, first.row),
                css::uno::UNO_QUERY_THROW);
            range->setDataArray(Sequence<Sequence<Any>>(&row, 1));
        });
    }
}

}  // namespace qm::calc
