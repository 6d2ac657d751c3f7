#pragma once

#include <QString>

namespace qm {

class KeyboardLayout;

// Makes the input layout the one of the language ("RU" or "EN", any case):
// when the active layout differs, steps exactly once to the next installed
// layout. With Russian and English installed that one step lands on the
// other; with more layouts it lands on whichever comes next. Where the active
// layout cannot be read nothing is switched. Reports nothing.
void SetKeyboardLayout(KeyboardLayout &layout, const QString &language);

}  // namespace qm
