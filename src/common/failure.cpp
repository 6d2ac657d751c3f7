#include "common/failure.h"

namespace qm {

Failure::Failure(int number, QString description, QString technicalDetail)
    : number_(number), description_(std::move(description)), technicalDetail_(std::move(technicalDetail)),
      utf8_(QString::number(number_).toUtf8() + " : " + description_.toUtf8())
{
}

}  // namespace qm
