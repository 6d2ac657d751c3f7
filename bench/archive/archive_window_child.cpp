// The real program on a program folder, started by qm_bench_archive_window
// under its own X server: once the main window has painted, clicks «Архив»
// and reports on stdout
//   paint <ms>        the click until the archive list's first paint has ended
//   rss <MiB>         resident memory just before the click (VmRSS)
//   peak <MiB>        peak resident memory with the archive window open (VmHWM)
//   key <ms>          one line per keystroke in the filter: the key until the
//                     list's repaint has ended (none when the window has no filter)
// and closes the window and the program.
//
//   qm_bench_archive_window_child <program folder>

#include "app/main_window/startup.h"
#include "app/program/desktop_platform.h"
#include "app/prompts/qt_prompts.h"
#include "support/bench_timing.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

double statusMiB(const QString &field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression line(u"^%1:\\s+(\\d+) kB"_s.arg(field), QRegularExpression::MultilineOption);
    return line.match(QString::fromLatin1(status.readAll())).captured(1).toDouble() / 1024;
}

// Ends a nested event loop once a list viewport outside the main window has
// finished a paint: the zero timer runs after the whole backing store has been
// painted and flushed to the X server.
class ListPaintWatch final : public QObject {
public:
    explicit ListPaintWatch(QWidget *mainWindow) : mainWindow_(mainWindow) { qApp->installEventFilter(this); }

    // Runs the events until the next list paint has ended; the milliseconds
    // from `started`, or -1 after 60 s without one.
    double waitForPaint(qint64 started)
    {
        QEventLoop loop;
        loop_ = &loop;
        QTimer::singleShot(60000, &loop, [&loop] { loop.exit(1); });
        const int result = loop.exec();
        loop_ = nullptr;
        return result == 0 ? qm::bench::millisecondsSince(started) : -1;
    }

    QAbstractItemView *list() const { return list_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || !loop_ || pending_)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        auto *view = widget ? qobject_cast<QAbstractItemView *>(widget->parentWidget()) : nullptr;
        if (!view || view->viewport() != widget || view->window() == mainWindow_)
            return false;
        list_ = view;
        pending_ = true;
        QTimer::singleShot(0, this, [this] {
            pending_ = false;
            if (loop_)
                loop_->quit();
        });
        return false;
    }

private:
    QWidget *mainWindow_;
    QAbstractItemView *list_ = nullptr;
    QEventLoop *loop_ = nullptr;
    bool pending_ = false;
};

// Keystrokes that narrow, widen and empty the filter over the benchmark's
// acts (all of one customer, serial numbers 1…N): Cyrillic letters that every
// line holds, digits that pick fewer and fewer lines, a letter no line holds,
// and erasing back to the full list.
const QString kKeys = u"ром\b\b\b99\b\b1ж\b\b"_s;

void typeKey(QLineEdit *field, QChar key)
{
    if (key == u'\b')
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key(key.toUpper().unicode()), QString(key), Qt::NoModifier);
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fputs("started by qm_bench_archive_window only: <program folder>\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    qm::QtPrompts prompts;
    const qm::DesktopPlatform platform(folder, prompts);
    const auto window = qm::startMainWindow(platform.services());
    if (!window)
        return 1;
    prompts.setParent(window.get());
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get(), 60000))
        return 1;
    QTest::qWait(200);  // the main window's own first paint and whatever it starts after it

    auto *archiveButton = window->findChild<QPushButton *>(u"bArchive"_s);
    if (!archiveButton)
        return 1;
    ListPaintWatch watch(window.get());
    const double residentBefore = statusMiB(u"VmRSS"_s);
    double paint = -1;
    double peak = 0;
    QList<double> keys;

    QTimer::singleShot(0, [&] {
        const qint64 clicked = qm::bench::monotonicNanoseconds();
        // The click returns when the modal archive window is closed; the work
        // below runs inside its event loop.
        QTimer::singleShot(0, [&, clicked] {
            paint = watch.waitForPaint(clicked);
            auto *archiveWindow = watch.list() ? qobject_cast<QDialog *>(watch.list()->window()) : nullptr;
            if (paint >= 0 && archiveWindow) {
                // The mechanic's hand reaches the filter half a second after the
                // window appeared at the earliest.
                QTest::qWait(500);
                const auto fields = archiveWindow->findChildren<QLineEdit *>();
                for (QLineEdit *field : fields) {
                    if (field->accessibleName() != u"Поиск"_s)
                        continue;
                    field->setFocus();
                    for (QChar key : kKeys) {
                        const qint64 typed = qm::bench::monotonicNanoseconds();
                        typeKey(field, key);
                        keys.append(watch.waitForPaint(typed));
                    }
                }
                peak = statusMiB(u"VmHWM"_s);
            }
            if (archiveWindow)
                archiveWindow->reject();
            else
                QCoreApplication::exit(1);
        });
        archiveButton->click();
        QCoreApplication::exit(paint >= 0 && !keys.contains(-1) ? 0 : 1);
    });
    const int status = QApplication::exec();
    std::printf("paint %.3f\nrss %.1f\npeak %.1f\n", paint, residentBefore, peak);
    for (double key : keys)
        std::printf("key %.3f\n", key);
    return status;
}
