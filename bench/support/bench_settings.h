#pragma once

#include <QString>

namespace qm::bench {

// Adds "OfficeAhead=0" to the [System] section of a settings file, in the
// file's own line ends; throws std::runtime_error when it cannot.
void turnOfficeAheadOff(const QString &settingsPath);

}  // namespace qm::bench
