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
    static const QStringList cells = {u"C15"_s, u"D15"_s, u"E15"_s, u"F15"_s, u"G15"_s,
                                      u"H15"_s, u"I15"_s, u"J15"_s, u"K15"_s, u"L15"_s};
    return cells;
}

void writeRow(SpreadsheetSheet &sheet, const QStringList &cells, const QString &text)
{
    const QStringList characters = spreadOverCells(text, int(cells.size()));
    for (qsizetype i = 0; i < cells.size(); ++i)
        sheet.setCellText(cells[i], characters[i]);
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

    sheet->setCellText(u"I1"_s, act.txtMIFNS->text());
    sheet->setCellText(u"J43"_s, act.txtMIFNS->text());
    sheet->setCellText(u"C6"_s, selectedText(act.cmbNameKKM));
    sheet->setCellText(u"G40"_s, selectedText(act.cmbNameKKM));
    sheet->setCellText(u"I6"_s, act.txtZavNum->text());
    sheet->setCellText(u"M40"_s, act.txtZavNum->text());
    sheet->setCellText(u"O6"_s, act.txtGodVyp->text());
    sheet->setCellText(u"C41"_s, act.txtGodVyp->text());
    sheet->setCellText(u"F7"_s, act.txtNameOrg->text());
    sheet->setCellText(u"F28"_s, selectedText(act.cmbTech));
    sheet->setCellText(u"K28"_s, actDateText(act.DTP->date()));
    sheet->setCellText(u"K45"_s, actDateText(act.DTP->date()));
    writeRow(*sheet, innCells(), act.txtINN->text());

    // Both boxes are read before either sentence is written.
    const bool contentsPreserved = isTickedOrGreyed(act.chSoderjimoe);
    const bool readable = isTickedOrGreyed(act.chProchest);
    sheet->setCellText(u"F24"_s, contentsPreserved ? u"сохранилось"_s : u"не сохранилось"_s);
    sheet->setCellText(u"L24"_s, readable ? u"возможно"_s : u"не возможно"_s);

    sheet->setCellText(u"D17"_s, selectedText(act.cmbVidOp));
    writeRow(*sheet, registrationNumberCells(), act.txtEKLZ->text());
}

}  // namespace qm
