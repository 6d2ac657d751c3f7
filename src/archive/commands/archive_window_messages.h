#pragma once

#include "common/prompts.h"

namespace qm {

// The messages of the "Архив" command and the archive window.
MessageRequest emptyArchiveMessage();           // "Архив пуст" when the window is asked for
MessageRequest noRecordsMessage();              // "В базе нет записей !" when the list finds none
MessageRequest confirmDeletionMessage();        // "Удалить запись ?"
MessageRequest archiveChangedMessage();         // the list no longer matches the table

}  // namespace qm
