#pragma once

#include <QObject>

#include <functional>

class QDropEvent;
class QKeyEvent;
class QLineEdit;

namespace qm {

// A field's key rule: the typed code in, the code to insert out (0 discards).
using KeyRule = std::function<qint16(qint16 code, QLineEdit *field)>;

// Applies a key rule to every key press of one plain QLineEdit, so the main
// window's form keeps ordinary widgets. Owned by the field.
// Text dropped on a strict field goes through the same rule character by
// character, as if typed: mapped, or discarded. The rule never empties the
// field for a dropped character (it sees a scratch field), so the clear key's
// character is discarded like any other. A drop of which nothing is left is
// refused; what is left is inserted by the field itself, within its maximum
// length.
class KeyRuleFilter : public QObject {
    Q_OBJECT
public:
    enum class Strictness {
        // Every typed character must pass the rule: characters without a
        // Windows-1251 code and input-method text are refused.
        Strict,
        // Characters the rule does not know reach the field unchanged.
        Lenient,
    };

    KeyRuleFilter(QLineEdit *field, KeyRule rule, Strictness strictness);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleKeyPress(QKeyEvent *event);
    void typeInstead(QKeyEvent *original, qint16 code);
    bool handleDrag(QDropEvent *event);
    QString textThroughRule(const QString &dropped) const;

    QLineEdit *field_;
    KeyRule rule_;
    Strictness strictness_;
    bool resending_ = false;
};

}  // namespace qm
