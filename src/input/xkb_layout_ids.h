#pragma once

#include <QString>
#include <QStringView>

namespace qm {

// The Windows keyboard layout identifier ("00000419") of an XKB layout name
// ("ru") and variant ("", "typewriter"); empty when the layout is unknown.
// A variant without its own identifier counts as its layout.
QString windowsLayoutIdOfXkb(QStringView layout, QStringView variant);

}  // namespace qm
