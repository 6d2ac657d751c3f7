#include "archive/archive_failures.h"

#include "common/failure.h"

#include <cerrno>

using namespace Qt::StringLiterals;

namespace qm {

Failure osFailure(int errorNumber, const QString &action, const QString &filePath)
{
    const QString systemMessage = systemErrorText(errorNumber);
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return Failure(FailureCode::FileNotFound, u"Файл архива не найден: %1 (%2)"_s.arg(filePath, systemMessage));
    case EACCES:
    case EPERM:
    case EROFS:
        return Failure(FailureCode::PermissionDenied,
                       u"Нет доступа к файлу архива: не удалось %1 %2: %3"_s.arg(action, filePath, systemMessage));
    case ENOSPC:
    case EDQUOT:
        return Failure(FailureCode::DiskFull,
                       u"Диск заполнен: не удалось %1 %2: %3"_s.arg(action, filePath, systemMessage));
    default:
        return Failure(FailureCode::PathFileAccessError,
                       u"Ошибка доступа к файлу архива: не удалось %1 %2: %3"_s.arg(action, filePath, systemMessage));
    }
}

}  // namespace qm
