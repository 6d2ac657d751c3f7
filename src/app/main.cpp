#include "app/startup.h"
#include "archive/dbf_archive.h"
#include "common/qt_prompts.h"
#include "document/uno/libreoffice_calc.h"
#include "input/keyboard_layout.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmarch"));

    const QString programFolder = QApplication::applicationDirPath();
    qm::QtPrompts prompts;
    const auto keyboardLayout = qm::makeSystemKeyboardLayout();
    const auto spreadsheet = qm::makeLibreOfficeCalc(qm::LibreOfficeOptions{});
    qm::DbfArchive archive(programFolder);

    qm::MainWindowServices services;
    services.programFolder = programFolder;
    services.prompts = &prompts;
    services.keyboardLayout = keyboardLayout.get();
    services.spreadsheet = spreadsheet.get();
    services.archive = &archive;

    const auto window = qm::startMainWindow(services);
    if (!window)
        return 1;
    prompts.setParent(window.get());
    window->show();
    return QApplication::exec();
}
