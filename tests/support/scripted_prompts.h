#pragma once

#include "app/prompts/prompts.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <functional>

namespace qm::test {

// Prompts that answer from a script and record what was asked.
// An unscripted message is answered with its default button; an unscripted
// file dialog is cancelled.
class ScriptedPrompts final : public Prompts {
public:
    PromptAnswer message(const MessageRequest &request) override;
    QString openFile(const OpenFileRequest &request) override;
    bool openDocument(const QString &path) override;

    void answer(PromptAnswer answer) { answers_.push_back(answer); }
    void chooseFile(const QString &path) { files_.push_back(path); }

    // Runs while a file dialog is open, before it is answered: the mechanic
    // may do something meanwhile (put a file in place, for instance).
    std::function<void()> whileFileDialogOpen;
    // Runs while a message box is on screen, before it is answered.
    std::function<void(const MessageRequest &)> whileMessageShown;

    // The files handed to the desktop's viewer; false stands for a desktop without one.
    QStringList openedDocuments;
    bool viewerStarts = true;

    QList<MessageRequest> messages;
    QList<OpenFileRequest> fileDialogs;
    // Both kinds of prompt in the order they were shown: "message:<title>" or "file:<title>".
    QStringList order;

private:
    std::deque<PromptAnswer> answers_;
    std::deque<QString> files_;
};

// The "... Повторить ?" questions among the messages shown.
QStringList retryQuestions(const QList<MessageRequest> &messages);

}  // namespace qm::test
