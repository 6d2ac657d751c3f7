#include "app/office_ahead_trigger.h"

#include "document/spreadsheet.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace qm {
namespace {

class OfficeAheadTrigger final : public QObject {
public:
    OfficeAheadTrigger(QWidget &window, SpreadsheetApplication &spreadsheet, bool startAhead, QString templatePath)
        : QObject(&window), window_(window), spreadsheet_(spreadsheet), started_(!startAhead),
          templatePath_(std::move(templatePath))
    {
        window_.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != &window_)
            return false;
        if (event->type() == QEvent::Paint && !started_) {
            started_ = true;
            // Queued: the paint completes and reaches the screen first. A
            // window closed meanwhile wants no office.
            QTimer::singleShot(0, this, [this] {
                if (window_.isVisible())
                    spreadsheet_.startInstanceAhead(templatePath_);
            });
        } else if (event->type() == QEvent::Close) {
            started_ = true;
            spreadsheet_.endUnusedInstance();
        }
        return false;
    }

private:
    QWidget &window_;
    SpreadsheetApplication &spreadsheet_;
    bool started_;
    QString templatePath_;
};

}  // namespace

void tieOfficeToWindow(QWidget &window, SpreadsheetApplication &spreadsheet, bool startAhead,
                       const QString &templatePath)
{
    new OfficeAheadTrigger(window, spreadsheet, startAhead, templatePath);
}

}  // namespace qm
