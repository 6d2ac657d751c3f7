#include "app/startup.h"

#include "common/guarded_command.h"
#include "common/program_log.h"

namespace qm {

std::unique_ptr<Form1> startMainWindow(const MainWindowServices &services)
{
    try {
        auto window = std::make_unique<Form1>(services);
        window->Form_Load();
        return window;
    } catch (...) {
        const Failure failure = toFailure(std::current_exception());
        logShownFailure(logApp(), failure, u"запуск", services.programFolder);
        services.prompts->message(unhandledFailureMessage(failure));
        return nullptr;
    }
}

}  // namespace qm
