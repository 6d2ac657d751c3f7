#pragma once

#include <QString>

#include <memory>

namespace qm {

// The keyboard layouts of the session. Implementations report nothing: a
// platform that cannot read or switch layouts does nothing.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;

    // The active layout as an eight-digit identifier: "00000419" Russian,
    // "00000409" US English; empty when it cannot be read.
    virtual QString activeLayoutId() = 0;

    // Steps the input one layout forward in the list of installed layouts.
    virtual void activateNextLayout() = 0;
};

// The session's real layouts: X11 XKB where there is an X display, otherwise a no-op.
std::unique_ptr<KeyboardLayout> makeSystemKeyboardLayout();

}  // namespace qm
