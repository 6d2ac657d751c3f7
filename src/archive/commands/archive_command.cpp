#include "archive/commands/archive_command.h"

#include "archive/archive_table.h"
#include "archive/commands/archive_window_context.h"
#include "archive/commands/archive_window_messages.h"
#include "archive/commands/form2.h"
#include "common/prompts.h"

namespace qm {

void ArchiveCommand(const ArchiveWindowContext &context)
{
    if (CountArchiveRecords(*context.archive) == 0) {
        context.prompts->message(emptyArchiveMessage());
        return;
    }
    Form2 window(context);
    if (window.Form_Load())
        window.exec();
}

}  // namespace qm
