#include "startup/first_paint_report.h"

#include "support/bench_timing.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace qm::bench {

FirstPaintReport::FirstPaintReport(QWidget *window, int pipeFd, std::int64_t mainStartedNs)
    : window_(window), pipeFd_(pipeFd), mainStartedNs_(mainStartedNs)
{
    window_->installEventFilter(this);
    // A window that never paints must not hang the benchmark.
    QTimer::singleShot(60000, [] { QCoreApplication::exit(2); });
}

bool FirstPaintReport::eventFilter(QObject *watched, QEvent *event)
{
    if (!reported_ && watched == window_ && event->type() == QEvent::Paint) {
        reported_ = true;
        const std::int64_t paintNs = monotonicNanoseconds() - mainStartedNs_;
        char line[64];
        const int length = std::snprintf(line, sizeof line, "%lld %lld\n", static_cast<long long>(paintNs),
                                         static_cast<long long>(startupNs_));
        if (::write(pipeFd_, line, size_t(length)) != length)
            std::abort();
        ::close(pipeFd_);
        QTimer::singleShot(quitDelayMs_, [] { QCoreApplication::quit(); });
    }
    return false;
}

ChildArguments parseChildArguments(int argc, char *argv[])
{
    ChildArguments arguments;
    if (argc < 2) {
        std::fputs("started by qm_bench_startup only: <pipe fd> [program folder | text]\n", stderr);
        std::exit(2);
    }
    arguments.pipeFd = std::atoi(argv[1]);
    if (argc > 2)
        arguments.extra = QString::fromLocal8Bit(argv[2]);
    return arguments;
}

}  // namespace qm::bench
