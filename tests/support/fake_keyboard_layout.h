#pragma once

#include "input/keyboard_layout.h"

#include <QStringList>

namespace qm::test {

// Layouts as a list with one active entry; stepping moves to the next one.
class FakeKeyboardLayout final : public KeyboardLayout {
public:
    explicit FakeKeyboardLayout(QStringList layouts = {QStringLiteral("00000409"), QStringLiteral("00000419")})
        : layouts_(std::move(layouts)) {}

    QString activeLayoutId() override { return layouts_.value(active_); }
    void activateNextLayout() override
    {
        ++steps;
        active_ = layouts_.isEmpty() ? 0 : int((active_ + 1) % layouts_.size());
    }

    int steps = 0;

private:
    QStringList layouts_;
    int active_ = 0;
};

}  // namespace qm::test
