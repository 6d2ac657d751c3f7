#pragma once

#include "input/keyboard_layout.h"

#include <QStringList>

namespace qm::test {

// Installed layouts in the system's order; stepping wraps around like XKB groups.
// An empty entry is a layout that cannot be read.
class FakeKeyboardLayout final : public KeyboardLayout {
public:
    explicit FakeKeyboardLayout(QStringList installed = {QStringLiteral("00000409"), QStringLiteral("00000419")},
                                int active = 0)
        : installed_(std::move(installed)), active_(active)
    {
    }

    QString activeLayoutId() override { return installed_.value(active_); }
    void activateNextLayout() override
    {
        ++steps;
        if (!installed_.isEmpty())
            active_ = (active_ + 1) % installed_.size();
    }

    bool offersRussian() override { return installed_.contains(QStringLiteral("00000419")); }

    // The user picks a layout by hand: not a step of the code under test.
    void select(const QString &id) { active_ = static_cast<int>(installed_.indexOf(id)); }

    int steps = 0;

private:
    QStringList installed_;
    int active_;
};

}  // namespace qm::test
