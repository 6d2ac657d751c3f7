// Drives the real program the way a mechanic would — a few acts archived, one
// act typed and printed, the archive opened — and photographs the main window,
// the filled act in LibreOffice Calc and the archive window from the X server.
//
// Usage: qm_readme_screenshots <program-folder> <output-folder> <office-profile>

#include "app/main_window/startup.h"
#include "app/program/desktop_platform.h"
#include "app/prompts/prompts.h"
#include "archive/archive_table.h"
#include "archive/save_act.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Answers every question the way the pictures need: no printing on a
// display without a printer, OK to everything else.
class AnsweringPrompts final : public qm::Prompts {
public:
    qm::PromptAnswer message(const qm::MessageRequest &request) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return request.buttons == qm::PromptButtons::YesNo ? qm::PromptAnswer::No : qm::PromptAnswer::Ok;
    }
    QString openFile(const qm::OpenFileRequest &) override { return {}; }
    bool openDocument(const QString &) override { return false; }
};

void settle(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool saveWindowPicture(const QWidget *widget, const QString &path)
{
    const QPixmap picture = widget->screen()->grabWindow(widget->winId());
    return !picture.isNull() && picture.save(path);
}

struct DemoAct {
    QString date, inspectorate, customer, inn, model, serial, year, operation, registration, mechanic;
    bool preserved, readable;
};

void selectItem(QComboBox *list, const QString &text)
{
    list->setCurrentIndex(list->findText(text, Qt::MatchExactly));
}

void typeAct(const qm::ActControls &act, const DemoAct &demo)
{
    act.DTP->setDate(QDate::fromString(demo.date, u"dd.MM.yyyy"_s));
    act.txtMIFNS->setText(demo.inspectorate);
    act.txtNameOrg->setText(demo.customer);
    act.txtINN->setText(demo.inn);
    selectItem(act.cmbNameKKM, demo.model);
    act.txtZavNum->setText(demo.serial);
    act.txtGodVyp->setText(demo.year);
    selectItem(act.cmbVidOp, demo.operation);
    act.txtEKLZ->setText(demo.registration);
    act.chSoderjimoe->setChecked(demo.preserved);
    act.chProchest->setChecked(demo.readable);
    selectItem(act.cmbTech, demo.mechanic);
}

const QList<DemoAct> &demoActs()
{
    static const QList<DemoAct> acts = {
        {u"14.10.2026"_s, u"5"_s, u"ООО \"Ромашка\""_s, u"7701234560"_s, u"ЭЛВЕС-МИКРО-К"_s, u"00123456"_s, u"2004"_s,
         u"Заполнение ЭКЛЗ"_s, u"4857120361"_s, u"Иванов И.И."_s, true, true},
        {u"02.11.2026"_s, u"5"_s, u"ИП Сергеева А.В."_s, u"771502938438"_s, u"Меркурий-115Ф"_s, u"15099871"_s,
         u"2007"_s, u"Истечение установленного срока эксплуатации ЭКЛЗ"_s, u"9931002475"_s, u"Петров С.А."_s, true,
         true},
        {u"19.11.2026"_s, u"7"_s, u"ЗАО \"Северный торг\""_s, u"7729605536"_s, u"ШТРИХ-М-ФР-К"_s, u"0412733"_s,
         u"2005"_s, u"Неисправность ЭКЛЗ"_s, u"3310457782"_s, u"Сидоров В.Н."_s, false, false},
        {u"07.12.2026"_s, u"5"_s, u"ООО \"Пекарня у дома\""_s, u"5003047711"_s, u"АМС-100К"_s, u"22115"_s, u"2008"_s,
         u"Замена блока фискальной памяти"_s, u"1020304050"_s, u"Иванов И.И."_s, true, true},
    };
    return acts;
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <program-folder> <output-folder> <office-profile>\n", argv[0]);
        return 2;
    }
    const QString programFolder = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);

    AnsweringPrompts prompts;
    qm::LibreOfficeOptions office;
    office.profileDir = QString::fromLocal8Bit(argv[3]);
    const qm::DesktopPlatform platform(programFolder, prompts, office);
    qm::Archive &archive = *platform.services().archive;
    const auto window = qm::startMainWindow(platform.services());
    if (!window)
        return 1;
    window->show();
    const qm::ActControls act = window->actControls();

    // The earlier acts go straight to the archive; the last one is printed.
    const QList<DemoAct> &acts = demoActs();
    for (qsizetype i = 0; i + 1 < acts.size(); ++i) {
        typeAct(act, acts[i]);
        qm::SaveActToArchive(qm::readAct(act), archive);
    }
    typeAct(act, acts.last());
    settle(1000);
    bool ok = saveWindowPicture(window.get(), output + u"/main-window.png"_s);

    window->findChild<QPushButton *>(u"bCreateAct"_s)->click();
    window->hide();
    settle(4000);
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    ok = !screen.isNull() && screen.save(output + u"/act-in-calc.png"_s) && ok;
    window->show();
    settle(500);

    // The archive window is modal: photograph it once it is up, then close it.
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *archiveWindow = QApplication::activeModalWidget();
        if (!archiveWindow || !archiveWindow->isVisible())
            return;
        poll.stop();
        settle(700);
        ok = saveWindowPicture(archiveWindow, output + u"/archive-window.png"_s) && ok;
        archiveWindow->close();
    });
    poll.start();
    window->findChild<QPushButton *>(u"bArchive"_s)->click();
    return ok ? 0 : 1;
}
