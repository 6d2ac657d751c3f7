#include "app/startup.h"

#include "common/guarded_command.h"

namespace qm {

std::unique_ptr<Form1> startMainWindow(const MainWindowServices &services)
{
    try {
        auto window = std::make_unique<Form1>(services);
        window->Form_Load();
        return window;
    } catch (...) {
        services.prompts->message(unhandledFailureMessage(toFailure(std::current_exception())));
        return nullptr;
    }
}

}  // namespace qm
