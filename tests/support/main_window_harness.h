#pragma once

#include "app/main_window/form1.h"
#include "archive/dbf_archive.h"
#include "recording_spreadsheet.h"
#include "support/fake_keyboard_layout.h"
#include "support/sample_settings.h"
#include "support/scripted_prompts.h"
#include "support/temp_program_folder.h"

#include <QComboBox>
#include <QDateTime>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

namespace qm::test {

enum class ProgramTemplate {
    None,     // no Quillmarch.xls: a print stops before any office
    Dummy,    // a few bytes, enough for a spreadsheet that only records
    Shipped,  // the template built beside the program, for the real office
};

// What the program folder holds and what the window is given. Each setter
// returns the options, so a test names only what differs from the usual.
struct HarnessOptions {
    // nullopt keeps the settings file already in the folder.
    HarnessOptions &withSettings(std::optional<QString> text)
    {
        settings = std::move(text);
        return *this;
    }
    HarnessOptions &withTemplate(ProgramTemplate kind)
    {
        templateFile = kind;
        return *this;
    }
    // A folder the test made (a small file system, another fixture's folder).
    HarnessOptions &inFolder(QString folder)
    {
        programFolder = std::move(folder);
        return *this;
    }
    // Another spreadsheet application than the recording one.
    HarnessOptions &withSpreadsheet(SpreadsheetApplication *application)
    {
        spreadsheet = application;
        return *this;
    }
    // The clock the window reads, stopped.
    HarnessOptions &at(QDateTime time)
    {
        now = std::move(time);
        return *this;
    }

    std::optional<QString> settings = sampleSettings();
    ProgramTemplate templateFile = ProgramTemplate::None;
    QString programFolder;  // empty: a temporary one of the harness's own
    SpreadsheetApplication *spreadsheet = nullptr;
    QDateTime now;  // invalid: the real clock
};

// The real main window over a program folder with settings and an archive,
// and everything it needs from the platform scripted or recorded.
class MainWindowHarness {
public:
    explicit MainWindowHarness(const HarnessOptions &options = HarnessOptions());
    MainWindowHarness(const MainWindowHarness &) = delete;
    MainWindowHarness &operator=(const MainWindowHarness &) = delete;

    QString path() const { return path_; }
    QString filePath(const QString &name) const { return path_ + u'/' + name; }
    QString archivePath() const { return filePath(QStringLiteral("QM.dbf")); }
    // Writes the settings file from UTF-8 text, converted to Windows-1251.
    void writeSettings(const QString &text) const;
    void writeFile(const QString &name, const QByteArray &bytes) const;

    // Runs the start-up sequence over this archive, or another one the test
    // passes (one that fails on cue, say); null when the start-up failed.
    std::unique_ptr<Form1> start(Archive *another = nullptr);
    // Started and on screen.
    std::unique_ptr<Form1> show(Archive *another = nullptr);

    // The "… Повторить ?" questions shown so far, in order.
    QStringList retryQuestions() const;

private:
    TempProgramFolder temp_;
    QString path_;

public:
    ScriptedPrompts prompts;
    FakeKeyboardLayout layout;
    RecordingSpreadsheet spreadsheet;
    DbfArchive archive;
    MainWindowServices services;
};

// The control of the window with this object name; the test ends at once
// when there is none, as every later step would be meaningless.
template <typename T> T *child(const QWidget &window, const char *name)
{
    T *widget = window.findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return widget;
}

// Presses the button with this object name with the mouse, as the mechanic does.
void click(const QWidget &window, const char *button);

QStringList items(const QComboBox *list);

// Types the act into the window's fields, as the mechanic would.
void enterAct(const ActData &act, const Form1 &window);

}  // namespace qm::test
