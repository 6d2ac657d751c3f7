#pragma once

#include "input/keyboard_layout.h"

#include <memory>

namespace qm {

// The XKB groups of the application's X display; null when the application
// does not run on X11 (Wayland, offscreen) or the display lacks XKB. Only for
// a real X server: Xwayland's XKB state is a private copy that the compositor
// overrides.
std::unique_ptr<KeyboardLayout> makeX11KeyboardLayout();

}  // namespace qm
