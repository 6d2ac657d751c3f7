#include "app/prompts/guarded_command.h"

#include "common/program_log.h"

using namespace Qt::StringLiterals;

namespace qm {

MessageRequest unhandledFailureMessage(const Failure &failure)
{
    MessageRequest request;
    request.title = u"Quillmarch"_s;
    request.text = u"Ошибка %1\r\n\r\n%2"_s.arg(failure.number()).arg(failure.description());
    request.icon = PromptIcon::Critical;
    request.buttons = PromptButtons::Ok;
    request.defaultButton = PromptAnswer::Ok;
    return request;
}

bool runGuarded(Prompts &prompts, QStringView command, const std::function<void()> &run)
{
    try {
        run();
        return true;
    } catch (...) {
        const Failure failure = toFailure(std::current_exception());
        logShownFailure(logApp(), failure, command);
        prompts.message(unhandledFailureMessage(failure));
        return false;
    }
}

bool runGuarded(Prompts &prompts, const std::function<void()> &command)
{
    return runGuarded(prompts, u"команда окна", command);
}

}  // namespace qm
