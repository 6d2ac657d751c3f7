#include "input/layout_on_focus.h"

#include "input/set_keyboard_layout.h"

#include <QEvent>
#include <QWidget>

namespace qm {

LayoutOnFocus::LayoutOnFocus(QWidget *widget, KeyboardLayout &layout, QString language)
    : QObject(widget), widget_(widget), layout_(layout), language_(std::move(language))
{
    widget_->installEventFilter(this);
}

bool LayoutOnFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == widget_ && event->type() == QEvent::FocusIn)
        SetKeyboardLayout(layout_, language_);
    return false;
}

}  // namespace qm
