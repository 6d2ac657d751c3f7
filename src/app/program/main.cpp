#include "app/main_window/startup.h"
#include "app/program/command_line.h"
#include "app/program/desktop_platform.h"
#include "app/program/program_folder.h"
#include "app/program/program_identity.h"
#include "app/program/russian_translations.h"
#include "app/program/termination_signals.h"
#include "app/prompts/qt_prompts.h"
#include "document/uno/office_watchdog.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>

#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    return arguments;
}

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
}

}  // namespace

int main(int argc, char *argv[])
{
    // The program's own watchdog of an office it started: no window, no Qt
    // application, only a wait on the program's pipe.
    if (argc >= 2 && std::strcmp(argv[1], qm::calc::officeWatchdogOption) == 0)
        return qm::calc::runOfficeWatchdog(argumentsOf(argc, argv).mid(2));

    const QString programName = QFileInfo(QFile::decodeName(argv[0])).fileName();

    // --help and --version answer before the window system is touched: they
    // work on a console without a display.
    const qm::CommandLine early = qm::parseCommandLine(argumentsOf(argc, argv));
    if (early.request == qm::CommandLine::Request::Help) {
        print(stdout, qm::helpText(programName));
        return 0;
    }
    if (early.request == qm::CommandLine::Request::Version) {
        print(stdout, qm::versionText());
        return 0;
    }

    QApplication::setApplicationName(u"Quillmarch"_s);
    QApplication::setApplicationVersion(QStringView(qm::identity::versionNumber).toString());
    QApplication::setDesktopFileName(QStringView(qm::identity::applicationId).toString());
    QApplication application(argc, argv);
    qm::useRussianEverywhere(application);
    QApplication::setWindowIcon(QIcon::fromTheme(QStringView(qm::identity::applicationId).toString()));

    // Qt has taken its own options (-platform and the like) off the line by now.
    const qm::CommandLine commandLine = qm::parseCommandLine(QCoreApplication::arguments());
    if (commandLine.request == qm::CommandLine::Request::Mistake) {
        print(stderr, qm::mistakeText(programName, commandLine.mistake));
        return 2;
    }

    qm::QtPrompts prompts;
    const std::optional<QString> programFolder
        = qm::openProgramFolder(qm::placesOfThisRun(commandLine.folder), prompts);
    if (!programFolder)
        return 1;
    qm::LibreOfficeOptions office;
    office.watchdogProgram = QCoreApplication::applicationFilePath();
    const qm::DesktopPlatform platform(*programFolder, prompts, office);
    qm::endOfficeOnTerminationSignals(*platform.services().spreadsheet);
    const auto window = qm::startMainWindow(platform.services());
    if (!window)
        return 1;
    prompts.setParent(window.get());
    window->show();
    return QApplication::exec();
}
