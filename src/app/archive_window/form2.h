#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QLineEdit;
class QListView;
class QPushButton;

namespace Ui {
class Form2;
}

namespace qm {

class Archive;
class ArchiveListModel;
class Prompts;
struct ArchivedActTexts;
struct RecalledAct;

// The main window as the archive window reaches it: it hands it values, and
// the main window alone knows which control shows what.
class ActWindow {
public:
    // "Записей: N" in the status bar.
    virtual void showRecordCount(qint64 count) = 0;

    // A deleted act's five text fields, written into their boxes.
    virtual void showArchivedTexts(const ArchivedActTexts &texts) = 0;

    // A recalled act, written into the form; the inspectorate field is left alone.
    virtual void showRecalledAct(const RecalledAct &act) = 0;

protected:
    ~ActWindow() = default;
};

// What the archive window works on: the main window it hands recalled and
// deleted acts to, the prompts and the archive.
struct ArchiveWindowContext {
    ActWindow *actWindow = nullptr;
    Prompts *prompts = nullptr;
    Archive *archive = nullptr;
    QWidget *parent = nullptr;  // the main window, owner of the modal archive window
    QString programFolder;      // where the archive and its acts' PDF copies are
};

// The main window's "Архив" command: an empty archive is reported with
// "Архив пуст"; otherwise the archive window is shown modally and the command
// returns when it is closed. Throws qm::Failure when the archive cannot be counted.
void runArchiveCommand(const ArchiveWindowContext &context);

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
