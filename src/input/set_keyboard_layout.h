#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace qm {

class KeyboardLayout;

// Makes the input layout the one of the language ("RU" or "EN", any case):
// when the active layout differs, steps exactly once to the next installed
// layout. With Russian and English installed that one step lands on the
// other; with more layouts it lands on whichever comes next. Where the active
// layout cannot be read nothing is switched. Reports nothing.
void SetKeyboardLayout(KeyboardLayout &layout, const QString &language);

class KeyboardLayout;

// Switches the keyboard to a language each time a widget gains focus.
// Owned by the widget; the layout must outlive it.
class LayoutOnFocus : public QObject {
    Q_OBJECT
public:
    LayoutOnFocus(QWidget *widget, KeyboardLayout &layout, QString language);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *widget_;
    KeyboardLayout &layout_;
    QString language_;
};

}  // namespace qm
