#pragma once

#include <QObject>

class QLineEdit;

namespace qm {

// The typing limit of a text box, which a recalled text may exceed: an act
// stored long ago, or by another program, is shown whole rather than cut. The
// box then holds more than the mechanic could type, and only for as long as
// the text needs it: each edit that shortens it lowers the limit again, down
// to the box's own, so typing never makes a field longer than its own limit.
class TypingLimit final : public QObject {
    Q_OBJECT

public:
    // Takes the box's present maximum length as its own limit.
    explicit TypingLimit(QLineEdit *box);

    // Shows a recalled text in the box, raising the limit just enough for it.
    static void showText(QLineEdit *box, const QString &text);

private:
    void shrinkToText();

    QLineEdit *box_;
    int ownLimit_;
};

}  // namespace qm
