#pragma once

#include <QChar>
#include <QtGlobal>

namespace qm {

// The character the standard Russian (ЙЦУКЕН) layout types at a key, the key
// found by its X keycode (the evdev code + 8, which Qt reports as the native
// scan code on X11 and Wayland): letters, punctuation and the shifted digits,
// "№" included. A null character for keys the layout leaves as they are
// (space, the keypad, function keys) and for unknown codes.
QChar russianCharacterAtKey(quint32 nativeScanCode, bool shifted);

}  // namespace qm
