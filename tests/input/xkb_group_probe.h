#pragma once

#include <QString>

namespace qm::test {

// The active XKB group of a display as a separate X client sees it, or -1.
// Kept apart from the Qt code: the X11 headers define FocusIn, KeyPress...
int xkbGroupSeenByAnotherClient(const QString &displayName);

// Locks the group from another client, as the desktop's own switch does.
bool lockXkbGroupFromAnotherClient(const QString &displayName, int group);

// Rewrites the layouts the server advertises (its _XKB_RULES_NAMES) and leaves
// its keymap alone, as Xwayland advertises "us" whatever the compositor holds.
bool advertiseXkbLayouts(const QString &displayName, const char *layouts);

}  // namespace qm::test
