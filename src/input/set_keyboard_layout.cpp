#include "input/set_keyboard_layout.h"

#include "input/keyboard_layout.h"

#include <QEvent>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace qm {

namespace {

QString wantedLayoutId(const QString &language)
{
    const QString upper = language.toUpper();
    if (upper == u"RU"_s)
        return u"00000419"_s;
    if (upper == u"EN"_s)
        return u"00000409"_s;
    return {};
}

}  // namespace

void SetKeyboardLayout(KeyboardLayout &layout, const QString &language)
{
    const QString wanted = wantedLayoutId(language);
    // A language without a known layout gives no target: stepping would only
    // move the user's layout to an arbitrary one.
    if (wanted.isEmpty())
        return;
    // An active layout that cannot be read may be the wanted one already: a
    // step would then take the mechanic away from it.
    const QString active = layout.activeLayoutId();
    if (!active.isEmpty() && active != wanted)
        layout.activateNextLayout();
}

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
