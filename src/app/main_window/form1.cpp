#include "app/main_window/form1.h"

#include "app/archive_window/form2.h"
#include "app/commands/print_command.h"
#include "app/main_window/status_panel.h"
#include "app/prompts/guarded_command.h"
#include "app/prompts/prompts.h"
#include "app/version.h"
#include "archive/archive_table.h"
#include "document/spreadsheet.h"
#include "input/field_input_rules.h"
#include "settings/pick_lists.h"
#include "settings/program_settings.h"
#include "ui_form1.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

constexpr int kCountPanelWidth = 1440 / 15;
constexpr int kVersionPanelWidth = 1440 / 15;

// The labels stand where the act's layout puts them, each ending where its
// field begins. The fixed-pitch face found on this system may be a little
// wider than the one the layout was drawn with: such a label is set a little
// tighter rather than having its last characters cut off.
void fitLabelToItsPlace(QLabel *label)
{
    const QString text = label->text();
    const int overflow = label->fontMetrics().horizontalAdvance(text) - label->width();
    if (overflow <= 0 || text.size() < 2)
        return;
    QFont font = label->font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, -qreal(overflow + 1) / qreal(text.size() - 1));
    label->setFont(font);
}

// Ties the spreadsheet application's processes to the window. When asked,
// has it started ahead once the window has been painted for the first time,
// so the start-up the mechanic watches is not made longer. Whenever the window
// closes, ends every office the program started that holds nothing of the
// user's.
class OfficeAheadTrigger final : public QObject {
public:
    OfficeAheadTrigger(QWidget &window, SpreadsheetApplication &spreadsheet, bool startAhead, QString templatePath)
        : QObject(&window), window_(window), spreadsheet_(spreadsheet), started_(!startAhead),
          templatePath_(std::move(templatePath))
    {
        window_.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != &window_)
            return false;
        if (event->type() == QEvent::Paint && !started_) {
            started_ = true;
            // Queued: the paint completes and reaches the screen first. A
            // window closed meanwhile wants no office.
            QTimer::singleShot(0, this, [this] {
                if (window_.isVisible())
                    spreadsheet_.startInstanceAhead(templatePath_);
            });
        } else if (event->type() == QEvent::Close) {
            started_ = true;
            spreadsheet_.endUnusedInstance();
        }
        return false;
    }

private:
    QWidget &window_;
    SpreadsheetApplication &spreadsheet_;
    bool started_;
    QString templatePath_;
};

}  // namespace

Form1::Form1(MainWindowServices services, QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::Form1>()), services_(std::move(services))
{
    ui_->setupUi(this);
    for (QLabel *label : ui_->centralwidget->findChildren<QLabel *>())
        fitLabelToItsPlace(label);
    values_.programFolder = services_.programFolder;
    for (QLineEdit *box : {ui_->txtZavNum, ui_->txtGodVyp, ui_->txtINN, ui_->txtEKLZ, ui_->txtNameOrg})
        new TypingLimit(box);
    buildStatusBar();

    // The client area is fixed, as the act's layout is drawn for it.
    setFixedSize(901, 295);

    connect(ui_->bArchive, &QPushButton::clicked, this, &Form1::bArchive_Click);
    connect(ui_->bClear, &QPushButton::clicked, this, &Form1::bClear_Click);
    connect(ui_->bCreateAct, &QPushButton::clicked, this, &Form1::bCreateAct_Click);
    connect(ui_->bExit, &QPushButton::clicked, this, &Form1::bExit_Click);
}

Form1::~Form1() = default;

void Form1::buildStatusBar()
{
    bannerPanel_ = new StatusPanel(u"Изготовитель"_s, ui_->SB1);
    countPanel_ = new StatusPanel(u"Число записей в архиве"_s, ui_->SB1);
    versionPanel_ = new StatusPanel(u"Версия"_s, ui_->SB1);
    countPanel_->setLeastWidth(kCountPanelWidth);
    versionPanel_->setLeastWidth(kVersionPanelWidth);
    ui_->SB1->setSizeGripEnabled(false);
    ui_->SB1->addWidget(bannerPanel_, 1);
    ui_->SB1->addPermanentWidget(countPanel_);
    ui_->SB1->addPermanentWidget(versionPanel_);
}

void Form1::centreOnScreen()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void Form1::Form_Load()
{
    values_.IniPath = values_.programFolder + u"/Quillmarch.ini"_s;
    ui_->DTP->setDateTime(services_.now());
    reloadPickLists();
    values_.PrintCopies = readPrintCopies(values_.IniPath);
    values_.NullKeyCode = readNullKeyCode(values_.IniPath);
    bannerPanel_->showText(makerBanner());
    versionPanel_->showText(versionText());
    showRecordCount(CountArchiveRecords(*services_.archive));

    installFieldInputRules(
        ActTextFields{ui_->txtMIFNS, ui_->txtNameOrg, ui_->txtINN, ui_->txtZavNum, ui_->txtGodVyp, ui_->txtEKLZ},
        values_.NullKeyCode, *services_.keyboardLayout);
    values_.SavePdf = readSavePdf(values_.IniPath);
    if (services_.spreadsheet)
        new OfficeAheadTrigger(*this, *services_.spreadsheet, readOfficeAhead(values_.IniPath),
                               values_.programFolder + u"/Quillmarch.xls"_s);
    centreOnScreen();
    ui_->txtNameOrg->setFocus(Qt::OtherFocusReason);
}

ActControls Form1::actControls() const
{
    return ActControls{ui_->DTP,        ui_->txtMIFNS,     ui_->txtNameOrg, ui_->txtINN,
                       ui_->cmbNameKKM, ui_->txtZavNum,    ui_->txtGodVyp,  ui_->cmbVidOp,
                       ui_->txtEKLZ,    ui_->chSoderjimoe, ui_->chProchest, ui_->cmbTech};
}

ActData Form1::actData() const
{
    return readAct(actControls());
}

void Form1::showRecordCount(qint64 count)
{
    countPanel_->showText(u"Записей: "_s + QString::number(count));
}

void Form1::showArchivedTexts(const ArchivedActTexts &texts)
{
    qm::showArchivedTexts(actControls(), texts);
}

void Form1::showRecalledAct(const RecalledAct &act)
{
    qm::showRecalledAct(actControls(), act, values_.IniPath);
}

QString Form1::statusPanelText(int panel) const
{
    switch (panel) {
    case 1: return bannerPanel_->text();
    case 2: return countPanel_->text();
    case 3: return versionPanel_->text();
    default: return {};
    }
}

QString Form1::versionText()
{
    return u"Ver."_s + QString::number(version::major) + u'.' + QString::number(version::minor) + u" build "_s
        + QString::number(version::revision);
}

QString Form1::makerBanner()
{
    return u"Quillmarch — сервисный центр ККМ"_s;
}

void Form1::reloadPickLists()
{
    fillPickList(ui_->cmbNameKKM, LoadKkmModels(values_.IniPath));
    fillPickList(ui_->cmbTech, LoadTechnicians(values_.IniPath));
    fillPickList(ui_->cmbVidOp, LoadOperationTypes());
}

void Form1::bClear_Click()
{
    runGuarded(*services_.prompts, u"Очистить", [this] {
        ui_->txtNameOrg->clear();
        ui_->txtZavNum->clear();
        ui_->txtGodVyp->clear();
        ui_->txtINN->clear();
        ui_->txtEKLZ->clear();
        reloadPickLists();
        ui_->chProchest->setCheckState(Qt::Checked);
        ui_->chSoderjimoe->setCheckState(Qt::Checked);
    });
}

void Form1::bExit_Click()
{
    close();
}

void Form1::bArchive_Click()
{
    runGuarded(*services_.prompts, u"Архив", [this] {
        runArchiveCommand(
            ArchiveWindowContext{this, services_.prompts, services_.archive, this, values_.programFolder});
    });
}

void Form1::bCreateAct_Click()
{
    // The print command handles its own failures; anything it lets through is
    // reported here and the typed act stays in the window.
    runGuarded(*services_.prompts, u"Печатать", [this] {
        PrintCommand command(actData(), values_, *services_.prompts, *services_.spreadsheet, *services_.archive);
        const PrintOutcome outcome = command.run();
        if (outcome.recordCount)
            showRecordCount(*outcome.recordCount);
        values_.pdfFailureShown = outcome.pdfFailureShown;
        values_.backupFailureShown = outcome.backupFailureShown;
    });
}

}  // namespace qm
