#include "document/fill_act_template.h"

#include "document/spreadsheet.h"

using namespace Qt::StringLiterals;

namespace qm {
namespace {

constexpr int kInnCells = 12;
constexpr int kRegistrationNumberCells = 10;

const QStringList &innCells()
{
    static const QStringList cells = {u"C13"_s, u"D13"_s, u"E13"_s, u"F13"_s, u"G13"_s, u"H13"_s,
                                      u"I13"_s, u"J13"_s, u"K13"_s, u"L13"_s, u"M13"_s, u"N13"_s};
    return cells;
}

const QStringList &registrationNumberCells()
{
    static const QStringList cells
        = {u"C15"_s, u"D15"_s, u"E15"_s, u"F15"_s, u"G15"_s, u"H15"_s, u"I15"_s, u"J15"_s, u"K15"_s, u"L15"_s};
    return cells;
}

void appendRow(std::vector<CellText> &cells, const QStringList &addresses, const QString &text)
{
    const QStringList characters = spreadOverCells(text, int(addresses.size()));
    for (qsizetype i = 0; i < addresses.size(); ++i)
        cells.push_back({addresses[i], characters[i]});
}

}  // namespace

QString actDateText(const QDate &date)
{
    return date.toString(u"dd.MM.yyyy"_s) + u"г."_s;
}

QStringList spreadOverCells(const QString &text, int cells)
{
    QString padded = text;
    if (padded.size() < cells)
        padded += u' ';
    if (padded.size() < cells)
        padded += u' ';
    QStringList row;
    row.reserve(cells);
    for (int i = 0; i < cells; ++i)
        row.append(i < padded.size() ? QString(padded[i]) : QString());
    return row;
}

void FillActTemplate(SpreadsheetInstance &excel, const ActData &act, const QString &templatePath)
{
    excel.setSheetsInNewWorkbook(1);
    excel.addWorkbookFromTemplate(templatePath);
    const std::unique_ptr<SpreadsheetSheet> sheet = excel.activeSheet();

    // The map's order; the sheet writes them in as few calls as it can.
    std::vector<CellText> cells{
        {u"I1"_s, act.taxInspectorate},
        {u"J43"_s, act.taxInspectorate},
        {u"C6"_s, chosenText(act.registerModel)},
        {u"G40"_s, chosenText(act.registerModel)},
        {u"I6"_s, act.serialNumber},
        {u"M40"_s, act.serialNumber},
        {u"O6"_s, act.yearMade},
        {u"C41"_s, act.yearMade},
        {u"F7"_s, act.customer},
        {u"F28"_s, chosenText(act.mechanic)},
        {u"K28"_s, actDateText(act.date.date())},
        {u"K45"_s, actDateText(act.date.date())},
    };
    appendRow(cells, innCells(), act.inn);
    cells.push_back({u"F24"_s, act.contentsPreserved ? u"сохранилось"_s : u"не сохранилось"_s});
    cells.push_back({u"L24"_s, act.readable ? u"возможно"_s : u"не возможно"_s});
    cells.push_back({u"D17"_s, chosenText(act.operationType)});
    appendRow(cells, registrationNumberCells(), act.registrationNumber);
    sheet->setCellTexts(cells);
}

}  // namespace qm
