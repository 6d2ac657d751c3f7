#include "settings/settings_failures.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace qm::settings {
namespace {

QString place(const QString &iniPath, const QString &section, const QString &key, const QString &value)
{
    return u"файл настроек «%1», раздел «%2», ключ «%3», значение «%4»"_s
        .arg(QDir::toNativeSeparators(iniPath), section, key, value);
}

}  // namespace

Failure overflow(const QString &iniPath, const QString &section, const QString &key,
                 const QString &value, const QString &reason)
{
    return Failure(FailureCode::Overflow,
                   u"Переполнение: %1. %2"_s.arg(place(iniPath, section, key, value), reason));
}

Failure typeMismatch(const QString &iniPath, const QString &section, const QString &key,
                     const QString &value, const QString &expected)
{
    return Failure(FailureCode::TypeMismatch,
                   u"Несоответствие типа: %1. %2"_s.arg(place(iniPath, section, key, value), expected));
}

}  // namespace qm::settings
