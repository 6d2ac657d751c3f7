#pragma once

#include "archive/commands/archive_window_context.h"

#include <QDialog>

#include <memory>

class QLineEdit;
class QListView;
class QPushButton;

namespace Ui {
class Form2;
}

namespace qm {

class ArchiveListModel;

// The archive window: one line per archived act, from which the mechanic
// recalls an act into the main window or deletes one, and a filter that
// narrows the lines to those containing its text. Shown modally by the
// "Архив" command. Its commands report failures themselves and keep running.
class Form2 final : public QDialog {
    Q_OBJECT

public:
    explicit Form2(ArchiveWindowContext context);
    ~Form2() override;

    // Builds the list. False when the archive holds no record (the mechanic has
    // been told) or could not be read: the window is then not to be shown.
    bool Form_Load();

    QListView *lBase() const;
    QLineEdit *txtPoisk() const;
    QPushButton *bExit() const;
    QPushButton *bSelect() const;
    QPushButton *bDeleteRecord() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private Q_SLOTS:
    void bDeleteRecord_Click();
    void bSelect_Click();
    void lBase_DblClick();
    void bExit_Click();
    void txtPoisk_Change();
    void lBase_ContextMenu(const QPoint &position);

private:
    // The record of the selected line as shown, -1 when no line is selected.
    int selectedRecord() const;
    void recallSelectedAct();
    bool refillList();
    void openActPdf(const QString &path);

    std::unique_ptr<Ui::Form2> ui_;
    ArchiveWindowContext context_;
    ArchiveListModel *lines_;
};

}  // namespace qm
