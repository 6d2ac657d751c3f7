#pragma once

#include <QString>

namespace qm {

// What the system said, in Russian, for a failure message: the C library's
// own text follows the system's language, which need not be Russian.
QString systemErrorText(int errorNumber);

}  // namespace qm
