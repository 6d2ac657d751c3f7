#pragma once

#include "app/archive_window/form2.h"
#include "app/commands/print_command.h"
#include "app/main_window/act_controls.h"

#include <QDateTime>
#include <QMainWindow>

#include <functional>
#include <memory>

namespace Ui {
class Form1;
}

namespace qm {

class Archive;
class KeyboardLayout;
class Prompts;
class SpreadsheetApplication;
class StatusPanel;

// What the main window needs from the platform; tests pass their own.
struct MainWindowServices {
    QString programFolder;
    Prompts *prompts = nullptr;
    KeyboardLayout *keyboardLayout = nullptr;
    SpreadsheetApplication *spreadsheet = nullptr;
    Archive *archive = nullptr;
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};

// The main window: one act's fields, the four commands and the status bar.
class Form1 final : public QMainWindow, public ActWindow {
    Q_OBJECT

public:
    explicit Form1(MainWindowServices services, QWidget *parent = nullptr);
    ~Form1() override;

    // The start-up sequence. Throws qm::Failure; the caller ends the program then.
    void Form_Load();

    // The act as the form shows it now.
    ActData actData() const;
    ActControls actControls() const;

    void showRecordCount(qint64 count) override;
    void showArchivedTexts(const ArchivedActTexts &texts) override;
    void showRecalledAct(const RecalledAct &act) override;

    const ProgramValues &values() const { return values_; }
    ProgramValues &values() { return values_; }
    const MainWindowServices &services() const { return services_; }

    // Status bar panel texts: maker banner, record count, version.
    QString statusPanelText(int panel) const;

    // "Ver.2.0 build 1" for the running program's version.
    static QString versionText();
    static QString makerBanner();

private Q_SLOTS:
    void bArchive_Click();
    void bClear_Click();
    void bCreateAct_Click();
    void bExit_Click();

private:
    void buildStatusBar();
    void centreOnScreen();
    void reloadPickLists();

    std::unique_ptr<Ui::Form1> ui_;
    MainWindowServices services_;
    ProgramValues values_;
    StatusPanel *bannerPanel_ = nullptr;
    StatusPanel *countPanel_ = nullptr;
    StatusPanel *versionPanel_ = nullptr;
};

}  // namespace qm
