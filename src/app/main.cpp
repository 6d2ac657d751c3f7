#include "app/desktop_platform.h"
#include "app/startup.h"
#include "common/qt_prompts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmarch"));

    qm::QtPrompts prompts;
    const qm::DesktopPlatform platform(QApplication::applicationDirPath(), prompts);
    const auto window = qm::startMainWindow(platform.services());
    if (!window)
        return 1;
    prompts.setParent(window.get());
    window->show();
    return QApplication::exec();
}
