#include "common/failure.h"

namespace qm {

Failure::Failure(int number, QString description)
    : number_(number), description_(std::move(description)),
      utf8_(QString::number(number_).toUtf8() + " : " + description_.toUtf8())
{
}

}  // namespace qm
