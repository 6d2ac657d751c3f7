#include "app/archive_window/archive_window_messages.h"

using namespace Qt::StringLiterals;

namespace qm {
namespace {

MessageRequest programMessage(const QString &text, PromptIcon icon)
{
    MessageRequest request;
    request.title = u"Quillmarch"_s;
    request.text = text;
    request.icon = icon;
    return request;
}

}  // namespace

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

MessageRequest archiveChangedMessage(RefusedArchiveAction action)
{
    const QString notDone = action == RefusedArchiveAction::Recall ? u"Акт не вызван."_s : u"Запись не удалена."_s;
    return programMessage(u"Архив QM.dbf изменён другой копией программы после того, как был открыт "
                          u"этот список.\r\n%1 Список будет прочитан заново: выберите запись ещё раз."_s.arg(notDone),
                          PromptIcon::Warning);
}

}  // namespace qm
