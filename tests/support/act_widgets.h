#pragma once

#include "app/act_data.h"

#include <QWidget>

namespace qm::test {

// The act's controls without the main window, set up as the main window has
// them (names, field limits, picker range), for commands that only read and
// write them. Nothing is selected in the lists.
class ActWidgets {
public:
    // Lists with a few fixed items.
    ActWidgets();
    // Lists loaded from this settings file, as start-up loads them.
    explicit ActWidgets(const QString &iniPath);

    QLineEdit *field(const QString &objectName) const { return owner.findChild<QLineEdit *>(objectName); }

    ActData act;
    QWidget owner;

private:
    void createControls();
};

}  // namespace qm::test
