#pragma once

#include "input/keyboard_layout.h"

#include <QDBusConnection>

#include <chrono>
#include <memory>

namespace qm {

// KDE Plasma's layouts through its session service org.kde.keyboard (on
// Wayland and on X11 alike). Null when the service does not answer on `bus`
// within `timeout`; each later call waits at most that long as well.
std::unique_ptr<KeyboardLayout> makeKdeKeyboardLayout(const QDBusConnection &bus,
                                                      std::chrono::milliseconds timeout);

}  // namespace qm
