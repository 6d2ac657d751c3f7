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
    // "00000409" US English. A layout that has no such identifier gives
    // another text, never empty; empty means the layout cannot be read.
    virtual QString activeLayoutId() = 0;

    // Steps the input one layout forward in the list of installed layouts.
    virtual void activateNextLayout() = 0;

    // Whether a Russian layout is installed and this interface can step to it.
    // Where it cannot, the customer field types Russian letters by itself.
    virtual bool offersRussian() = 0;
};

// The session's real layouts: the KDE Plasma service, XKB on a real X server,
// sway's socket, or, where none of them serves, a layout that reads and
// switches nothing.
std::unique_ptr<KeyboardLayout> makeSystemKeyboardLayout();

}  // namespace qm
