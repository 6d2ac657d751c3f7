#pragma once

#include <QString>

namespace qm {

enum class PromptIcon { None, Information, Question, Warning, Critical };
enum class PromptButtons { Ok, YesNo };
enum class PromptAnswer { Ok, Yes, No };

struct MessageRequest {
    QString title;
    QString text;  // line breaks are "\r\n" where the message is made of several lines
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
    PromptAnswer defaultButton = PromptAnswer::Ok;
};

struct OpenFileRequest {
    QString title;
    QString filter;    // "Description|pattern" pairs joined by '|', e.g. "Шаблон акта|Quillmarch.xls"
    QString fileName;  // initial file name
};

// Message boxes and the file-open dialog. The windows call this interface;
// tests replace it with a scripted one.
class Prompts {
public:
    virtual ~Prompts() = default;

    // Shows a modal message box and returns the button pressed.
    virtual PromptAnswer message(const MessageRequest &request) = 0;

    // Shows a modal open-file dialog; returns the chosen file's full path,
    // or an empty string when the user cancelled.
    virtual QString openFile(const OpenFileRequest &request) = 0;

    // Opens a file in the desktop's viewer for its kind (a PDF copy of an act);
    // false when no viewer could be started.
    virtual bool openDocument(const QString &path) = 0;
};

}  // namespace qm
