#pragma once

#include <QChar>
#include <QObject>
#include <QtGlobal>

class QKeyEvent;
class QLineEdit;
class QToolButton;

namespace qm {

class KeyboardLayout;

// Makes a field type Russian where the desktop cannot be switched to Russian
// (GNOME on Wayland has no interface for it) or has no Russian layout: each
// key types what the Russian layout has at its physical place, while the
// desktop's own layout gives Latin letters. The mechanic's own choice wins: a
// key that already types Cyrillic shows he has switched himself, and the field
// stops translating until it loses the focus, so his switch back gives Latin.
// A mark «РУ» at the field's right edge shows the translation and turns it off
// and on with a click. Pasted and dropped text, shortcuts and keys without a
// scan code pass as they are. A translated key is sent to the field as a key
// press, so the field's key rule, its maximum length and undo apply to it.
// Owned by the field; `layout` must outlive it.
class RussianTyping : public QObject {
    Q_OBJECT
public:
    RussianTyping(QLineEdit *field, KeyboardLayout &layout);

    bool translating() const { return translating_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleKeyPress(QKeyEvent *event);
    void setTranslating(bool on);
    void showMark(bool shown);

    QLineEdit *field_;
    KeyboardLayout &layout_;
    QToolButton *mark_;
    bool translating_ = false;
    bool resending_ = false;
    bool inputMethodWasEnabled_ = true;
};

// The character the standard Russian (ЙЦУКЕН) layout types at a key, the key
// found by its X keycode (the evdev code + 8, which Qt reports as the native
// scan code on X11 and Wayland): letters, punctuation and the shifted digits,
// "№" included. A null character for keys the layout leaves as they are
// (space, the keypad, function keys) and for unknown codes.
QChar russianCharacterAtKey(quint32 nativeScanCode, bool shifted);

}  // namespace qm
