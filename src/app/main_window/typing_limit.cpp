#include "app/main_window/typing_limit.h"

#include <QLineEdit>

namespace qm {

TypingLimit::TypingLimit(QLineEdit *box) : QObject(box), box_(box), ownLimit_(box->maxLength())
{
    connect(box, &QLineEdit::textChanged, this, &TypingLimit::shrinkToText);
}

void TypingLimit::showText(QLineEdit *box, const QString &text)
{
    const auto *limit = box->findChild<TypingLimit *>(QString(), Qt::FindDirectChildrenOnly);
    const int own = limit ? limit->ownLimit_ : box->maxLength();
    box->setMaxLength(qMax(own, int(text.size())));
    box->setText(text);
}

void TypingLimit::shrinkToText()
{
    const int needed = qMax(ownLimit_, int(box_->text().size()));
    if (box_->maxLength() > needed)
        box_->setMaxLength(needed);
}

}  // namespace qm
