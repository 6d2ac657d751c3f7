#pragma once

#include "app/prompts/prompts.h"

namespace qm {

// The messages of the "Архив" command and the archive window.
MessageRequest emptyArchiveMessage();           // "Архив пуст" when the window is asked for
MessageRequest noRecordsMessage();              // "В базе нет записей !" when the list finds none
MessageRequest confirmDeletionMessage();        // "Удалить запись ?"
// The selected line's record is no longer the act the list showed: the act
// was not recalled (or not deleted), and the list has been read again.
enum class RefusedArchiveAction { Recall, Deletion };
MessageRequest archiveChangedMessage(RefusedArchiveAction action);

}  // namespace qm
