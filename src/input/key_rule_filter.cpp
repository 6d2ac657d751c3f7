#include "input/key_rule_filter.h"

#include "common/windows1251.h"
#include "input/typed_character.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

#include <optional>

namespace qm {

namespace {

QString characterOf(qint16 code)
{
    if (code < 0 || code > 255)
        return {};
    const char byte = static_cast<char>(code);
    return code < 32 ? QString(QChar(code)) : fromWindows1251(QByteArrayView(&byte, 1));
}

int keyOf(qint16 code)
{
    if (code >= 'A' && code <= 'Z')
        return Qt::Key_A + (code - 'A');
    if (code >= '0' && code <= '9')
        return Qt::Key_0 + (code - '0');
    return Qt::Key_unknown;
}

}  // namespace

KeyRuleFilter::KeyRuleFilter(QLineEdit *field, KeyRule rule, Strictness strictness)
    : QObject(field), field_(field), rule_(std::move(rule)), strictness_(strictness)
{
    if (strictness_ == Strictness::Strict) {
        // An input method commits text outside key presses, past the rule.
        field_->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    field_->installEventFilter(this);
}

bool KeyRuleFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != field_ || resending_)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: return handleKeyPress(static_cast<QKeyEvent *>(event));
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: return strictness_ == Strictness::Strict && handleDrag(static_cast<QDropEvent *>(event));
    case QEvent::InputMethod:
        // Input methods are switched off for strict fields; this catches a
        // commit that arrives anyway (the attribute can be reset by Qt).
        return strictness_ == Strictness::Strict && !static_cast<QInputMethodEvent *>(event)->commitString().isEmpty();
    default: return false;
    }
}

bool KeyRuleFilter::handleKeyPress(QKeyEvent *event)
{
    const TypedCharacter typed = typedCharacterOf(*event);
    switch (typed.kind) {
    case TypedCharacter::Kind::None: return false;
    case TypedCharacter::Kind::Unencodable: return strictness_ == Strictness::Strict;
    case TypedCharacter::Kind::Code: break;
    }

    const qint16 result = rule_(typed.code, field_);
    if (result == 0)
        return true;
    if (result == typed.code)
        return false;
    typeInstead(event, result);
    return true;
}

// Sends the field a copy of the key press carrying the new character, so the
// field's own editing applies it: maximum length, replacing the selection,
// undo and textEdited all behave as for a typed character.
void KeyRuleFilter::typeInstead(QKeyEvent *original, qint16 code)
{
    QKeyEvent retyped(QEvent::KeyPress, keyOf(code), Qt::NoModifier, characterOf(code), original->isAutoRepeat(),
                      original->count());
    resending_ = true;
    QCoreApplication::sendEvent(field_, &retyped);
    resending_ = false;
    original->setAccepted(retyped.isAccepted());
}

// Entering and moving only decide whether the drop is welcome, so the mouse
// pointer shows a refusal before the button is released.
bool KeyRuleFilter::handleDrag(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (data == nullptr || !data->hasText())
        return false;  // the field refuses anything but text by itself
    const QString dropped = data->text();
    const QString accepted = textThroughRule(dropped);
    if (accepted.isEmpty()) {
        event->ignore();
        return true;
    }
    if (event->type() != QEvent::Drop || accepted == dropped)
        return false;

    // The field inserts the text as it inserts a drop: at the point under the
    // mouse, replacing what a move takes away, cut at its maximum length.
    QMimeData filtered;
    filtered.setText(accepted);
    QDropEvent replacement(event->position(), event->possibleActions(), &filtered, event->buttons(),
                           event->modifiers());
    resending_ = true;
    QCoreApplication::sendEvent(field_, &replacement);
    resending_ = false;
    event->setDropAction(replacement.dropAction());
    event->setAccepted(replacement.isAccepted());
    return true;
}

QString KeyRuleFilter::textThroughRule(const QString &dropped) const
{
    QLineEdit scratch;
    QString accepted;
    for (const QChar character : dropped) {
        if (character.isSurrogate())
            continue;  // half of a character that Windows-1251 cannot hold
        const std::optional<QByteArray> byte = toWindows1251(QString(character));
        if (!byte || byte->size() != 1)
            continue;
        const qint16 result = rule_(static_cast<unsigned char>(byte->front()), &scratch);
        // Control codes that pass a rule (Backspace) are editing, not text.
        if (result >= 32 && result != 127)
            accepted += characterOf(result);
    }
    return accepted;
}

}  // namespace qm
