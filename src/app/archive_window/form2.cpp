#include "app/archive_window/form2.h"

#include "app/archive_window/archive_list_model.h"
#include "app/prompts/guarded_command.h"
#include "app/prompts/prompts.h"
#include "archive/archive_snapshot.h"
#include "archive/archive_table.h"
#include "archive/archived_acts.h"
#include "common/failure.h"
#include "common/program_log.h"
#include "ui_form2.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>

using namespace Qt::StringLiterals;

#include <optional>

namespace qm {
namespace {

// The messages of the "Архив" command and the archive window, titled as the
// program.
MessageRequest programMessage(const QString &text, PromptIcon icon)
{
    MessageRequest request;
    request.title = u"Quillmarch"_s;
    request.text = text;
    request.icon = icon;
    return request;
}

MessageRequest emptyArchiveMessage()
{
    return programMessage(u"Архив пуст"_s, PromptIcon::Information);
}

MessageRequest noRecordsMessage()
{
    return programMessage(u"В базе нет записей !"_s, PromptIcon::None);
}

MessageRequest confirmDeletionMessage()
{
    MessageRequest request = programMessage(u"Удалить запись ?"_s, PromptIcon::None);
    request.buttons = PromptButtons::YesNo;
    request.defaultButton = PromptAnswer::Yes;
    return request;
}

// The selected line's record is no longer the act the list showed: the act
// was not recalled (or not deleted), and the list has been read again.
enum class RefusedArchiveAction { Recall, Deletion };

MessageRequest archiveChangedMessage(RefusedArchiveAction action)
{
    const QString notDone = action == RefusedArchiveAction::Recall ? u"Акт не вызван."_s : u"Запись не удалена."_s;
    return programMessage(u"Архив QM.dbf изменён другой копией программы после того, как был открыт "
                          u"этот список.\r\n%1 Список будет прочитан заново: выберите запись ещё раз."_s.arg(notDone),
                          PromptIcon::Warning);
}

// Designer files keep whole points only; the list's font is 9.75 pt.
constexpr double kListFontPointSize = 9.75;

// The shown row of the selected line of the archive list, -1 when no line is
// selected. The list's current row alone does not count: the list makes its
// first line current when it takes the focus, without selecting it.
int selectedArchiveLine(const QAbstractItemView *lBase)
{
    const QModelIndexList selected = lBase->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

}  // namespace

void runArchiveCommand(const ArchiveWindowContext &context)
{
    if (CountArchiveRecords(*context.archive) == 0) {
        context.prompts->message(emptyArchiveMessage());
        return;
    }
    Form2 window(context);
    if (window.Form_Load())
        window.exec();
}

Form2::Form2(ArchiveWindowContext context)
    : QDialog(context.parent), ui_(std::make_unique<Ui::Form2>()), context_(std::move(context)),
      lines_(new ArchiveListModel(this))
{
    ui_->setupUi(this);
    // The title bar shows no text. Qt gives an empty title the program's name
    // instead; a blank is left as it is.
    setWindowTitle(u" "_s);
    QFont listFont = ui_->lBase->font();
    listFont.setPointSizeF(kListFontPointSize);
    ui_->lBase->setFont(listFont);
    ui_->txtPoisk->setFont(listFont);
    ui_->lBase->setModel(lines_);
    ui_->lBase->setEditTriggers(QAbstractItemView::NoEditTriggers);

    setFixedSize(size());
    setModal(true);

    connect(ui_->bDeleteRecord, &QPushButton::clicked, this, &Form2::bDeleteRecord_Click);
    connect(ui_->bSelect, &QPushButton::clicked, this, &Form2::bSelect_Click);
    connect(ui_->bExit, &QPushButton::clicked, this, &Form2::bExit_Click);
    connect(ui_->lBase, &QListView::doubleClicked, this, &Form2::lBase_DblClick);
    connect(ui_->txtPoisk, &QLineEdit::textChanged, this, &Form2::txtPoisk_Change);
    ui_->lBase->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui_->lBase, &QWidget::customContextMenuRequested, this, &Form2::lBase_ContextMenu);
}

Form2::~Form2() = default;

QListView *Form2::lBase() const
{
    return ui_->lBase;
}
QLineEdit *Form2::txtPoisk() const
{
    return ui_->txtPoisk;
}
QPushButton *Form2::bExit() const
{
    return ui_->bExit;
}
QPushButton *Form2::bSelect() const
{
    return ui_->bSelect;
}
QPushButton *Form2::bDeleteRecord() const
{
    return ui_->bDeleteRecord;
}

bool Form2::Form_Load()
{
    bool listed = false;
    runGuarded(*context_.prompts, u"Архив", [this, &listed] { listed = refillList(); });
    ui_->lBase->clearSelection();
    ui_->lBase->setFocus(Qt::OtherFocusReason);
    return listed;
}

bool Form2::refillList()
{
    lines_->setSnapshot(nullptr);
    ArchiveListing listing = FillArchiveList(*context_.archive);
    context_.actWindow->showRecordCount(listing.count);
    if (!listing.lines) {
        context_.prompts->message(noRecordsMessage());
        return false;
    }
    lines_->setSnapshot(std::move(listing.lines));
    return true;
}

int Form2::selectedRecord() const
{
    return lines_->recordPosition(selectedArchiveLine(ui_->lBase));
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    // The window has no default or cancel button: Enter and Escape do nothing,
    // so a stray key press can neither recall an act nor drop the window.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: event->accept(); return;
    default: QDialog::keyPressEvent(event);
    }
}

void Form2::bDeleteRecord_Click()
{
    runGuarded(*context_.prompts, u"Удалить запись", [this] {
        const int record = selectedRecord();
        if (record < 0)
            return;
        if (context_.prompts->message(confirmDeletionMessage()) != PromptAnswer::Yes)
            return;
        const std::optional<ListedRecord> listed = lines_->listedRecord(record);
        if (!listed)
            return;
        const DeletedRecord deleted = DeleteSelectedRecord(*context_.archive, *listed);
        if (deleted.outcome != DeletionOutcome::ArchiveChanged) {
            context_.actWindow->showArchivedTexts(deleted.texts);
            if (deleted.failure)
                throw *deleted.failure;
            lines_->removeRecord(record);
            // The list would select the next line in its place: an act the
            // mechanic never chose, which "Выбрать" or another deletion would
            // then act on.
            ui_->lBase->clearSelection();
            return;
        }
        context_.prompts->message(archiveChangedMessage(RefusedArchiveAction::Deletion));
        refillList();
    });
}

void Form2::recallSelectedAct()
{
    runGuarded(*context_.prompts, u"Выбрать", [this] {
        const int record = selectedRecord();
        if (record < 0)
            return;
        const std::optional<ListedRecord> listed = lines_->listedRecord(record);
        if (!listed)
            return;
        const std::optional<RecalledAct> act = RecallArchivedAct(*context_.archive, *listed);
        if (!act) {
            context_.prompts->message(archiveChangedMessage(RefusedArchiveAction::Recall));
            refillList();
            return;
        }
        context_.actWindow->showRecalledAct(*act);
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

void Form2::txtPoisk_Change()
{
    runGuarded(*context_.prompts, u"Поиск", [this] { lines_->setFilterText(ui_->txtPoisk->text()); });
}

void Form2::lBase_ContextMenu(const QPoint &position)
{
    // The line under the pointer; from the keyboard, the selected one.
    const QModelIndex pointed = ui_->lBase->indexAt(position);
    const int row = pointed.isValid() ? pointed.row() : selectedArchiveLine(ui_->lBase);
    const std::optional<ListedRecord> listed = lines_->listedRecord(lines_->recordPosition(row));
    if (!listed)
        return;
    QString pdf;
    if (!runGuarded(*context_.prompts, u"Открыть PDF",
                    [&] { pdf = archivedActPdfPath(*context_.archive, context_.programFolder, *listed); }))
        return;

    // Greyed when the act has no copy (printed before copies were kept, or
    // with them turned off), so that the mechanic sees the copy is missing.
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *open = menu->addAction(u"Открыть PDF"_s);
    open->setEnabled(!pdf.isEmpty() && QFileInfo(pdf).isFile());
    connect(open, &QAction::triggered, this, [this, pdf] { openActPdf(pdf); });
    const QPoint at
        = pointed.isValid() ? position : ui_->lBase->visualRect(ui_->lBase->model()->index(row, 0)).center();
    menu->popup(ui_->lBase->viewport()->mapToGlobal(at));
}

void Form2::openActPdf(const QString &path)
{
    if (context_.prompts->openDocument(path))
        return;
    const Failure failure(FailureCode::PathFileAccessError,
                          u"Не удаётся открыть копию акта %1: не найдена программа для просмотра PDF."_s.arg(
                              QDir::toNativeSeparators(path)));
    logShownFailure(logArchive(), failure, u"Открыть PDF", path);
    context_.prompts->message(unhandledFailureMessage(failure));
}

}  // namespace qm
