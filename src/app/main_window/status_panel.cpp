#include "app/main_window/status_panel.h"

#include <QAccessible>
#include <QEvent>

namespace qm {

StatusPanel::StatusPanel(const QString &description, QWidget *parent) : QLabel(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // No accessible name: a label's accessible name is then its text.
    setAccessibleDescription(description);
}

void StatusPanel::setLeastWidth(int width)
{
    leastWidth_ = width;
    fitWidth();
}

void StatusPanel::showText(const QString &text)
{
    setText(text);
    fitWidth();
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void StatusPanel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    // The status bar's font reaches the panel when it is polished, after the
    // first text may already have been measured.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitWidth();
}

void StatusPanel::fitWidth()
{
    if (leastWidth_ <= 0)
        return;
    // The frame, the margins and the indent a framed label keeps (half an 'x'
    // on the aligned side) come on top of the text itself.
    const int chrome = width() - contentsRect().width() + fontMetrics().horizontalAdvance(u'x');
    setFixedWidth(qMax(leastWidth_, fontMetrics().horizontalAdvance(text()) + chrome));
}

}  // namespace qm
