#pragma once

#include <QString>

namespace qm::test {

// The active XKB group of a display as a separate X client sees it, or -1.
// Kept apart from the Qt code: the X11 headers define FocusIn, KeyPress...
int xkbGroupSeenByAnotherClient(const QString &displayName);

}  // namespace qm::test
