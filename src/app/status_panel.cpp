#include "app/status_panel.h"

#include <QAccessible>

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
    setFixedWidth(width);
}

void StatusPanel::showText(const QString &text)
{
    setText(text);
    if (leastWidth_ > 0)
        setFixedWidth(qMax(leastWidth_, sizeHint().width()));
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

}  // namespace qm
