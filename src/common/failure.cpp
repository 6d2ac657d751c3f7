#include "common/failure.h"

#include <new>

using namespace Qt::StringLiterals;

namespace qm {

Failure::Failure(int number, QString description, QString technicalDetail)
    : number_(number), description_(std::move(description)), technicalDetail_(std::move(technicalDetail)),
      utf8_(QString::number(number_).toUtf8() + " : " + description_.toUtf8())
{
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

}  // namespace qm
