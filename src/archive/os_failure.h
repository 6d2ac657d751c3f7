#pragma once

#include "common/failure.h"

#include <QString>

namespace qm {

// A failed system call on an archive file as a Failure: 53 missing file,
// 70 permission denied, 61 disk full, 75 any other error; the description
// names the file and carries the system's own message.
Failure osFailure(int errorNumber, const QString &action, const QString &filePath);

}  // namespace qm
