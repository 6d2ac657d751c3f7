#include "input/russian_typing.h"

#include "input/keyboard_layout.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace qm {

namespace {

bool isCyrillic(QChar character)
{
    return character.script() == QChar::Script_Cyrillic || character == u'№';
}

// The lock bit of the key's native modifiers: the X state under xcb, and the
// XKB modifier mask that Qt's Wayland client reports, where the usual keymaps
// put Lock on the same bit. Where a platform reports no native modifiers
// (offscreen), Caps Lock shows only on keys that type Latin letters.
constexpr quint32 kCapsLockMask = 0x2;

// What the Russian layout types at the key. Letters of the desktop's layout
// tell their case themselves, Caps Lock included. Other keys go by Shift, and
// Caps Lock turns those that are Russian letters, Shift with it giving the
// small letter back as XKB does; digits and punctuation stay as they are.
QChar russianCharacterFor(const QKeyEvent &event)
{
    const QString text = event.text();
    if (text.size() == 1 && text.front().isLetter())
        return russianCharacterAtKey(event.nativeScanCode(), text.front().isUpper());
    const bool shifted = event.modifiers().testFlag(Qt::ShiftModifier);
    const QChar character = russianCharacterAtKey(event.nativeScanCode(), shifted);
    if (character.isLetter() && (event.nativeModifiers() & kCapsLockMask) != 0)
        return russianCharacterAtKey(event.nativeScanCode(), !shifted);
    return character;
}

}  // namespace

RussianTyping::RussianTyping(QLineEdit *field, KeyboardLayout &layout)
    : QObject(field), field_(field), layout_(layout), mark_(new QToolButton(field))
{
    mark_->setObjectName(u"russianTypingMark"_s);
    mark_->setText(u"РУ"_s);
    mark_->setCheckable(true);
    mark_->setAutoRaise(true);
    mark_->setFocusPolicy(Qt::NoFocus);
    mark_->setCursor(Qt::ArrowCursor);
    mark_->hide();
    connect(mark_, &QToolButton::clicked, this, [this](bool on) { setTranslating(on); });
    field_->installEventFilter(this);
}

bool RussianTyping::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != field_ || resending_)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn: {
        // A context menu or a completer's list borrows the focus: the visit goes on.
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::PopupFocusReason && !mark_->isHidden())
            return false;
        // Asked at every visit: layouts may have been added or removed since.
        const bool desktopCannotSwitch = !layout_.offersRussian();
        setTranslating(desktopCannotSwitch);
        showMark(desktopCannotSwitch);
        return false;
    }
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::PopupFocusReason)
            return false;
        setTranslating(false);
        showMark(false);
        return false;
    case QEvent::Resize: showMark(!mark_->isHidden()); return false;
    case QEvent::KeyPress: return handleKeyPress(static_cast<QKeyEvent *>(event));
    default: return false;
    }
}

bool RussianTyping::handleKeyPress(QKeyEvent *event)
{
    if (!translating_)
        return false;
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    if (std::any_of(text.cbegin(), text.cend(), isCyrillic)) {
        setTranslating(false);
        return false;
    }
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (event->nativeScanCode() == 0 || (event->modifiers() & commands) != 0)
        return false;
    const QChar russian = russianCharacterFor(*event);
    if (russian.isNull() || QString(russian) == text)
        return false;

    // Cyrillic letters carry their capital's code as the key, as a Russian
    // layout's key presses do.
    QKeyEvent retyped(QEvent::KeyPress, russian.toUpper().unicode(), event->modifiers(), event->nativeScanCode(),
                      event->nativeVirtualKey(), event->nativeModifiers(), QString(russian), event->isAutoRepeat(),
                      event->count());
    resending_ = true;
    QCoreApplication::sendEvent(field_, &retyped);
    resending_ = false;
    event->setAccepted(retyped.isAccepted());
    return true;
}

void RussianTyping::setTranslating(bool on)
{
    if (on == translating_)
        return;
    translating_ = on;
    // An input method would compose the desktop layout's letters outside key presses.
    if (on) {
        inputMethodWasEnabled_ = field_->testAttribute(Qt::WA_InputMethodEnabled);
        field_->setAttribute(Qt::WA_InputMethodEnabled, false);
    } else {
        field_->setAttribute(Qt::WA_InputMethodEnabled, inputMethodWasEnabled_);
    }
    mark_->setChecked(on);
    mark_->setToolTip(on ? u"Поле печатает русские буквы; щелчок выключает"_s
                         : u"Поле печатает буквы раскладки; щелчок включает русские"_s);
    mark_->setAccessibleDescription(mark_->toolTip());
}

// The mark sits inside the field, at its right edge, and the text stops short
// of it: the window's geometry stays as it is.
void RussianTyping::showMark(bool shown)
{
    if (!shown) {
        mark_->hide();
        field_->setTextMargins(0, 0, 0, 0);
        return;
    }
    const int frame = field_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field_);
    const int height = field_->height() - 2 * frame;
    const int width = mark_->sizeHint().width();
    mark_->setGeometry(field_->width() - frame - width, frame, width, height);
    field_->setTextMargins(0, 0, width, 0);
    mark_->show();
}

namespace {

struct KeyRow {
    quint32 firstKeycode;
    const char16_t *plain;
    const char16_t *shifted;
};

// X keycodes of the pc105 keyboard, row by row, and what the Russian layout
// (XKB "ru", the Windows layout) types there without and with Shift.
constexpr KeyRow kRows[] = {
    {10, u"1234567890-=", u"!\"№;%:?*()_+"},  // 1 … =
    {24, u"йцукенгшщзхъ", u"ЙЦУКЕНГШЩЗХЪ"},   // Q … ]
    {38, u"фывапролджэё", u"ФЫВАПРОЛДЖЭЁ"},   // A … ', then ` (keycode 49)
    {51, u"\\ячсмитьбю.", u"/ЯЧСМИТЬБЮ,"},    // \, then Z … /
    {94, u"/", u"|"},                         // the key left of Z on European keyboards
};

constexpr quint32 length(const char16_t *text)
{
    quint32 count = 0;
    while (text[count] != 0)
        ++count;
    return count;
}

}  // namespace

QChar russianCharacterAtKey(quint32 nativeScanCode, bool shifted)
{
    for (const KeyRow &row : kRows) {
        if (nativeScanCode >= row.firstKeycode && nativeScanCode < row.firstKeycode + length(row.plain))
            return QChar((shifted ? row.shifted : row.plain)[nativeScanCode - row.firstKeycode]);
    }
    return {};
}

}  // namespace qm
