#include "support/main_window_harness.h"

#include "app/main_window/startup.h"
#include "archive/empty_archive.h"
#include "common/windows1251.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace qm::test {

MainWindowHarness::MainWindowHarness(const HarnessOptions &options)
    : path_(options.programFolder.isEmpty() ? temp_.path() : options.programFolder), archive(path_)
{
    if (options.settings)
        writeSettings(*options.settings);
    if (options.templateFile == ProgramTemplate::Dummy)
        writeFile(u"Quillmarch.xls"_s, "template");
    if (options.templateFile == ProgramTemplate::Shipped
        && !QFile::copy(QStringLiteral(QM_BUILT_PROGRAM_DIR) + u"/Quillmarch.xls"_s, filePath(u"Quillmarch.xls"_s)))
        throw std::runtime_error("cannot copy the built template; is the data target built?");
    // A folder another fixture filled keeps the archive it holds.
    if (!QFile::exists(archivePath()))
        createEmptyArchive(archivePath());

    services.programFolder = path_;
    services.prompts = &prompts;
    services.keyboardLayout = &layout;
    services.spreadsheet = options.spreadsheet ? options.spreadsheet : &spreadsheet;
    services.archive = &archive;
    if (options.now.isValid())
        services.now = [now = options.now] { return now; };
}

void MainWindowHarness::writeSettings(const QString &text) const
{
    const auto bytes = toWindows1251(text);
    if (!bytes)
        throw std::runtime_error("settings text is not Windows-1251");
    writeFile(u"Quillmarch.ini"_s, *bytes);
}

void MainWindowHarness::writeFile(const QString &name, const QByteArray &bytes) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + file.fileName().toStdString());
}

std::unique_ptr<Form1> MainWindowHarness::start(Archive *another)
{
    MainWindowServices used = services;
    if (another)
        used.archive = another;
    return startMainWindow(used);
}

std::unique_ptr<Form1> MainWindowHarness::show(Archive *another)
{
    auto window = start(another);
    if (window)
        window->show();
    return window;
}

QStringList MainWindowHarness::retryQuestions() const
{
    return qm::test::retryQuestions(prompts.messages);
}

void click(const QWidget &window, const char *button)
{
    QTest::mouseClick(child<QAbstractButton>(window, button), Qt::LeftButton);
}

QStringList items(const QComboBox *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->itemText(i));
    return texts;
}

void enterAct(const ActData &act, const Form1 &window)
{
    const ActControls fields = window.actControls();
    fields.DTP->setDate(act.date.date());
    fields.cmbNameKKM->setCurrentText(chosenText(act.registerModel));
    fields.cmbTech->setCurrentText(chosenText(act.mechanic));
    fields.cmbVidOp->setCurrentText(chosenText(act.operationType));
    for (const auto &[box, text] : {std::pair{fields.txtZavNum, act.serialNumber},
                                    {fields.txtGodVyp, act.yearMade},
                                    {fields.txtINN, act.inn},
                                    {fields.txtEKLZ, act.registrationNumber},
                                    {fields.txtNameOrg, act.customer}})
        box->setText(text);
    fields.chSoderjimoe->setChecked(act.contentsPreserved);
    fields.chProchest->setChecked(act.readable);
}

}  // namespace qm::test
