// A bare Qt Widgets window of the main window's size, started the way the
// program starts: the reference the program's start-up is measured against.
// Given "text", it also holds a label and a line edit, so that it pays for
// loading the system's fonts as any window with text does.

#include "startup/first_paint_report.h"
#include "support/bench_timing.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    const std::int64_t mainStarted = qm::bench::monotonicNanoseconds();
    const qm::bench::ChildArguments arguments = qm::bench::parseChildArguments(argc, argv);
    QApplication application(argc, argv);
    QWidget window;
    window.resize(901, 295);
    if (arguments.extra == u"text"_s) {
        auto *label = new QLabel(u"Заказчик"_s, &window);
        auto *field = new QLineEdit(&window);
        label->move(80, 40);
        field->setGeometry(165, 39, 352, 27);
    }
    qm::bench::FirstPaintReport report(&window, arguments.pipeFd, mainStarted);
    window.show();
    return QApplication::exec();
}
