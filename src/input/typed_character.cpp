#include "input/typed_character.h"

#include "common/windows1251.h"

#include <QKeyEvent>

namespace qm {

namespace {

TypedCharacter code(int value)
{
    return {TypedCharacter::Kind::Code, static_cast<qint16>(value)};
}

bool isQtSpecialKey(int key)
{
    // Letters and symbols carry their Unicode value as key(); everything
    // from 0x01000000 on is a function, editing or navigation key.
    return key >= Qt::Key_Escape && key != Qt::Key_unknown;
}

TypedCharacter fromText(const QString &text)
{
    if (text.isEmpty())
        return {};
    const QChar first = text.front();
    if (first.unicode() < 32)
        return code(first.unicode());
    // A surrogate pair is one character; it never fits Windows-1251 anyway.
    const qsizetype length = first.isHighSurrogate() && text.size() > 1 ? 2 : 1;
    const std::optional<QByteArray> byte = toWindows1251(text.left(length));
    if (!byte || byte->size() != 1)
        return {TypedCharacter::Kind::Unencodable, 0};
    return code(static_cast<unsigned char>(byte->front()));
}

}  // namespace

TypedCharacter typedCharacterOf(const QKeyEvent &event)
{
    const int key = event.key();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);

    // Alt combinations are menu and window commands, never characters.
    if (alt && !ctrl)
        return {};

    switch (key) {
    case Qt::Key_Backspace: return code(ctrl ? 127 : 8);
    case Qt::Key_Return:
    case Qt::Key_Enter: return code(ctrl ? 10 : 13);
    case Qt::Key_Escape: return code(27);
    default: break;
    }

    // From key(), so that Ctrl+C is 3 whichever layout is active.
    if (ctrl && !alt && key >= Qt::Key_A && key <= Qt::Key_Z)
        return code(key - Qt::Key_A + 1);

    // X11 gives Delete the text "\x7f", which must not pass for Ctrl+Backspace.
    if (isQtSpecialKey(key))
        return {};

    return fromText(event.text());
}

}  // namespace qm
