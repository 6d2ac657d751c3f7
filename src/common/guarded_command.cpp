#include "common/guarded_command.h"

#include "common/program_log.h"

#include <new>

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

Failure toFailure(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Failure &failure) {
        return failure;
    } catch (const std::bad_alloc &) {
        return Failure(FailureCode::OutOfMemory, u"Недостаточно памяти."_s);
    } catch (const std::exception &other) {
        return Failure(FailureCode::ApplicationDefined, u"Внутренняя ошибка программы."_s,
                       QString::fromLocal8Bit(other.what()));
    } catch (...) {
        return Failure(FailureCode::ApplicationDefined, u"Внутренняя ошибка программы."_s);
    }
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
