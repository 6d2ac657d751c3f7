#include "archive/commands/form2.h"

#include "archive/commands/archive_window_messages.h"
#include "archive/commands/delete_selected_record.h"
#include "archive/commands/fill_archive_list.h"
#include "archive/commands/recall_archived_act.h"
#include "archive/commands/selected_archive_line.h"
#include "common/guarded_command.h"
#include "common/prompts.h"
#include "ui_form2.h"

#include <QKeyEvent>

namespace qm {
namespace {

// Designer files keep whole points only; the list's font is 9.75 pt.
constexpr double kListFontPointSize = 9.75;

}  // namespace

Form2::Form2(ArchiveWindowContext context)
    : QDialog(context.parent), ui_(std::make_unique<Ui::Form2>()), context_(std::move(context))
{
    ui_->setupUi(this);
    QFont listFont = ui_->lBase->font();
    listFont.setPointSizeF(kListFontPointSize);
    ui_->lBase->setFont(listFont);

    setFixedSize(size());
    setModal(true);

    connect(ui_->bDeleteRecord, &QPushButton::clicked, this, &Form2::bDeleteRecord_Click);
    connect(ui_->bSelect, &QPushButton::clicked, this, &Form2::bSelect_Click);
    connect(ui_->bExit, &QPushButton::clicked, this, &Form2::bExit_Click);
    connect(ui_->lBase, &QListWidget::itemDoubleClicked, this, &Form2::lBase_DblClick);
}

Form2::~Form2() = default;

QListWidget *Form2::lBase() const { return ui_->lBase; }
QPushButton *Form2::bExit() const { return ui_->bExit; }
QPushButton *Form2::bSelect() const { return ui_->bSelect; }
QPushButton *Form2::bDeleteRecord() const { return ui_->bDeleteRecord; }

bool Form2::Form_Load()
{
    ui_->lBase->clear();
    bool listed = false;
    runGuarded(*context_.prompts, [this, &listed] { listed = FillArchiveList(context_, ui_->lBase); });
    ui_->lBase->clearSelection();
    ui_->lBase->setFocus(Qt::OtherFocusReason);
    return listed;
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    // The window has no default or cancel button: Enter and Escape do nothing,
    // so a stray key press can neither recall an act nor drop the window.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void Form2::bDeleteRecord_Click()
{
    runGuarded(*context_.prompts, [this] {
        const int line = selectedArchiveLine(ui_->lBase);
        if (line < 0)
            return;
        if (context_.prompts->message(confirmDeletionMessage()) != PromptAnswer::Yes)
            return;
        if (DeleteSelectedRecord(context_, ui_->lBase) == DeletionOutcome::Deleted) {
            delete ui_->lBase->takeItem(line);
            return;
        }
        context_.prompts->message(archiveChangedMessage());
        refillList();
    });
}

void Form2::refillList()
{
    ui_->lBase->clear();
    FillArchiveList(context_, ui_->lBase);
}

void Form2::recallSelectedAct()
{
    runGuarded(*context_.prompts, [this] {
        if (selectedArchiveLine(ui_->lBase) < 0)
            return;
        RecallArchivedAct(context_, ui_->lBase);
        accept();
    });
}

void Form2::bSelect_Click()
{
    recallSelectedAct();
}

void Form2::lBase_DblClick()
{
    recallSelectedAct();
}

void Form2::bExit_Click()
{
    reject();
}

}  // namespace qm
