#include "support/scripted_prompts.h"

using namespace Qt::StringLiterals;

namespace qm::test {

PromptAnswer ScriptedPrompts::message(const MessageRequest &request)
{
    messages.append(request);
    order.append(u"message:"_s + request.title);
    if (whileMessageShown)
        whileMessageShown(request);
    if (answers_.empty())
        return request.defaultButton;
    const PromptAnswer next = answers_.front();
    answers_.pop_front();
    return next;
}

QString ScriptedPrompts::openFile(const OpenFileRequest &request)
{
    fileDialogs.append(request);
    order.append(u"file:"_s + request.title);
    if (whileFileDialogOpen)
        whileFileDialogOpen();
    if (files_.empty())
        return {};
    const QString next = files_.front();
    files_.pop_front();
    return next;
}

bool ScriptedPrompts::openDocument(const QString &path)
{
    openedDocuments.append(path);
    return viewerStarts;
}

QStringList retryQuestions(const QList<MessageRequest> &messages)
{
    QStringList questions;
    for (const MessageRequest &message : messages)
        if (message.text.endsWith(u"\r\nПовторить ?"_s))
            questions << message.text;
    return questions;
}

}  // namespace qm::test
