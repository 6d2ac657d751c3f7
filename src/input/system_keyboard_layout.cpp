#include "input/keyboard_layout.h"

#include "input/x11_keyboard_layout.h"

namespace qm {

namespace {

// Platforms without a layout interface: there is nothing to read or switch.
class NoKeyboardLayout final : public KeyboardLayout {
public:
    QString activeLayoutId() override { return {}; }
    void activateNextLayout() override {}
};

}  // namespace

std::unique_ptr<KeyboardLayout> makeSystemKeyboardLayout()
{
    if (std::unique_ptr<KeyboardLayout> x11 = makeX11KeyboardLayout())
        return x11;
    return std::make_unique<NoKeyboardLayout>();
}

}  // namespace qm
