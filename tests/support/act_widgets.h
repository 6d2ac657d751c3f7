#pragma once

#include "app/act_data.h"

#include <QWidget>

namespace qm::test {

// The act's controls without the main window, for commands that only read
// and write them. The lists hold a few items; nothing is selected.
class ActWidgets {
public:
    ActWidgets();

    ActData act;
    QWidget owner;
};

}  // namespace qm::test
