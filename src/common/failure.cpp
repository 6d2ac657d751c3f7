#include "common/failure.h"

#include <cerrno>
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

QString systemErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT: return u"нет такого файла или папки"_s;
    case ENOTDIR: return u"часть пути не является папкой"_s;
    case EISDIR: return u"это папка, а не файл"_s;
    case EACCES: return u"доступ запрещён"_s;
    case EPERM: return u"операция не разрешена"_s;
    case EROFS: return u"файловая система только для чтения"_s;
    case ENOSPC: return u"на диске нет места"_s;
    case EDQUOT: return u"превышена дисковая квота"_s;
    case EEXIST: return u"файл уже существует"_s;
    case EBUSY: return u"устройство или файл заняты"_s;
    case EIO: return u"ошибка ввода-вывода"_s;
    case ENAMETOOLONG: return u"слишком длинное имя файла"_s;
    case ELOOP: return u"слишком много символических ссылок"_s;
    case EMFILE:
    case ENFILE: return u"открыто слишком много файлов"_s;
    case ENOLCK: return u"блокировки недоступны"_s;
    case ESTALE: return u"устаревший дескриптор сетевого файла"_s;
    case ETIMEDOUT: return u"истекло время ожидания"_s;
    case EINTR: return u"операция прервана"_s;
    default: return u"системная ошибка %1"_s.arg(errorNumber);
    }
}

}  // namespace qm
