#pragma once

#include <QtGlobal>

class QKeyEvent;

namespace qm {

// The character a key press types, as the field rules see it: the 16-bit
// Windows-style code (control codes below 32, Windows-1251 bytes above).
struct TypedCharacter {
    enum class Kind {
        None,         // an editing or navigation key: rules do not apply
        Unencodable,  // a character Windows-1251 cannot hold
        Code,
    };
    Kind kind = Kind::None;
    qint16 code = 0;
};

// Reads key() and modifiers() before text(), because the text of the same
// press differs between X11 ("\x03" for Ctrl+C) and synthesized events ("c").
TypedCharacter typedCharacterOf(const QKeyEvent &event);

}  // namespace qm
