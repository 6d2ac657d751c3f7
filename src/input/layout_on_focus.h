#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace qm {

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
