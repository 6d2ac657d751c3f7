#pragma once

#include "common/failure.h"

namespace qm::ArchiveFailureCode {

// Classic numbers the shared list does not carry; only the archive raises them.
inline constexpr int FileAlreadyExists = 58;
inline constexpr int InvalidArgument = 3001;
inline constexpr int TableReadOnly = 3027;
inline constexpr int RecordSetClosed = 3704;

}  // namespace qm::ArchiveFailureCode
