#pragma once

#include "common/failure.h"

#include <QString>

namespace qm::settings {

// Failures caused by a hand-edited settings file. Each names the file, the
// section, the key and the value, so the mechanic knows which line to fix.
Failure overflow(const QString &iniPath, const QString &section, const QString &key,
                 const QString &value, const QString &reason);
Failure typeMismatch(const QString &iniPath, const QString &section, const QString &key,
                     const QString &value, const QString &expected);

}  // namespace qm::settings
