#include "app/startup.h"

#include "app/prompts/guarded_command.h"
#include "app/restore_offer.h"
#include "common/program_log.h"

namespace qm {

std::unique_ptr<Form1> startMainWindow(const MainWindowServices &services)
{
    // The start-up sequence's count is the first read of the archive: when it
    // is refused, a backup may be restored once, and the window started anew
    // on it.
    for (bool restoreOffered = false;; restoreOffered = true) {
        try {
            auto window = std::make_unique<Form1>(services);
            window->Form_Load();
            return window;
        } catch (...) {
            const Failure failure = toFailure(std::current_exception());
            if (!restoreOffered) {
                const RestoreChoice choice = offerArchiveRestore(services.programFolder, *services.prompts);
                if (choice == RestoreChoice::Restored)
                    continue;
                if (choice == RestoreChoice::Declined)
                    return nullptr;
            }
            logShownFailure(logApp(), failure, u"запуск", services.programFolder);
            services.prompts->message(unhandledFailureMessage(failure));
            return nullptr;
        }
    }
}

}  // namespace qm
