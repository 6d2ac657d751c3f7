#pragma once

#include "common/failure.h"

#include <QString>

// The failures only the archive raises: the classic numbers the shared list
// does not carry, and a failed system call on an archive file.

namespace qm::ArchiveFailureCode {

inline constexpr int FileAlreadyExists = 58;
inline constexpr int InvalidArgument = 3001;
inline constexpr int TableReadOnly = 3027;
inline constexpr int RecordSetClosed = 3704;

}  // namespace qm::ArchiveFailureCode

namespace qm {

// A failed system call on an archive file as a Failure: 53 missing file,
// 70 permission denied, 61 disk full, 75 any other error; the description
// names the file and carries the system's own message.
Failure osFailure(int errorNumber, const QString &action, const QString &filePath);

}  // namespace qm
