// The program's own start-up path (the same services as the program's main),
// on a program folder given by the start-up benchmark. The office it starts
// ahead (unless the folder's settings turn that off) runs headless on a
// profile in the program folder, and is ended when the process ends.

#include "app/main_window/startup.h"
#include "app/program/desktop_platform.h"
#include "app/prompts/qt_prompts.h"
#include "startup/first_paint_report.h"
#include "support/bench_timing.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    const std::int64_t mainStarted = qm::bench::monotonicNanoseconds();
    const qm::bench::ChildArguments arguments = qm::bench::parseChildArguments(argc, argv);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmarch"));

    qm::QtPrompts prompts;
    qm::LibreOfficeOptions office;
    office.headless = true;
    office.profileDir = arguments.extra + QStringLiteral("/office-profile");
    const qm::DesktopPlatform platform(arguments.extra, prompts, office);

    const std::int64_t startupStarted = qm::bench::monotonicNanoseconds();
    const auto window = qm::startMainWindow(platform.services());
    if (!window)
        return 1;
    qm::bench::FirstPaintReport report(window.get(), arguments.pipeFd, mainStarted);
    report.setStartupNanoseconds(qm::bench::monotonicNanoseconds() - startupStarted);
    report.setQuitDelayMilliseconds(200);
    prompts.setParent(window.get());
    window->show();
    return QApplication::exec();
}
