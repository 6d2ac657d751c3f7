// The main window's "Архив" button: the archive window over the real main
// window, the count after deletions, and a failing archive.

#include "archive_test_fixture.h"
#include "support/main_window_harness.h"

#include "app/archive_window/form2.h"
#include "app/main_window/form1.h"
#include "app/main_window/startup.h"
#include "support/fake_keyboard_layout.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

// The archive world with the real main window started over it, asking
// through the world's prompts and reading the world's archive.
struct Program : ArchiveWorld {
    Program() { harness.services.prompts = &prompts; }
    std::unique_ptr<Form1> start() { return harness.show(&archive); }
    MainWindowHarness harness{HarnessOptions().withSettings(std::nullopt).inFolder(folder.path())};
};

}  // namespace

class ArchiveButtonTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void recallReachesTheMainWindow();
    void deletingEveryRecordLeavesTheCountUntilTheNextOpening();
    void missingArchiveIsReportedAndTheProgramGoesOn();
};

void ArchiveButtonTest::recallReachesTheMainWindow()
{
    Program program;
    program.append({sampleRow(1), sampleRow(2)});
    const auto window = program.start();
    QVERIFY(window);
    const ActControls act = window->actControls();

    bool modalOverMainWindow = false;
    bool focusOnList = false;
    const bool shown = whileArchiveWindowShown(
        [&] { click(*window, "bArchive"); },
        [&](Form2 &archiveWindow) {
            modalOverMainWindow
                = QApplication::activeModalWidget() == &archiveWindow && archiveWindow.parentWidget() == window.get();
            focusOnList = archiveWindow.focusWidget() == archiveWindow.lBase()
                && archiveWindow.lBase()->selectionModel()->selectedIndexes().isEmpty();
            // A double-click selects the line with its first click and recalls it.
            const QRect line = archiveWindow.lBase()->visualRect(archiveWindow.lBase()->model()->index(1, 0));
            QTest::mouseClick(archiveWindow.lBase()->viewport(), Qt::LeftButton, {}, line.center());
            QTest::mouseDClick(archiveWindow.lBase()->viewport(), Qt::LeftButton, {}, line.center());
        });
    QVERIFY(shown);
    QVERIFY(modalOverMainWindow);
    QVERIFY(focusOnList);
    QCOMPARE(act.txtNameOrg->text(), u"ООО Ромашка-2"_s);
    QCOMPARE(act.cmbTech->currentText(), u"Механик 2"_s);
    QCOMPARE(act.DTP->date(), QDate(2012, 2, 2));
    QCOMPARE(window->statusPanelText(2), u"Записей: 2"_s);
    QVERIFY(program.prompts.messages.isEmpty());
}

void ArchiveButtonTest::deletingEveryRecordLeavesTheCountUntilTheNextOpening()
{
    Program program;
    program.append(sampleRow(1));
    const auto window = program.start();
    QVERIFY(window);

    bool stayedOpen = false;
    program.prompts.answer(PromptAnswer::Yes);
    whileArchiveWindowShown([&] { click(*window, "bArchive"); },
                            [&](Form2 &archiveWindow) {
                                clickLine(archiveWindow.lBase(), 0);
                                QTest::mouseClick(archiveWindow.bDeleteRecord(), Qt::LeftButton);
                                stayedOpen
                                    = archiveWindow.isVisible() && archiveWindow.lBase()->model()->rowCount() == 0;
                                QTest::mouseClick(archiveWindow.bExit(), Qt::LeftButton);
                            });
    QVERIFY(stayedOpen);
    QCOMPARE(window->statusPanelText(2), u"Записей: 1"_s);
    QCOMPARE(window->actControls().txtZavNum->text(), u"Z1"_s);

    const bool shownAgain = whileArchiveWindowShown([&] { click(*window, "bArchive"); }, [](Form2 &) {});
    QVERIFY(!shownAgain);
    const MessageRequest &message = program.prompts.messages.constLast();
    QCOMPARE(message.text, u"Архив пуст"_s);
    QCOMPARE(message.title, u"Quillmarch"_s);
    QCOMPARE(message.icon, PromptIcon::Information);
    QCOMPARE(message.buttons, PromptButtons::Ok);
}

void ArchiveButtonTest::missingArchiveIsReportedAndTheProgramGoesOn()
{
    Program program;
    program.append(sampleRow(1));
    const auto window = program.start();
    QVERIFY(window);
    QVERIFY(QFile::remove(program.folder.filePath(u"QM.dbf"_s)));

    const bool shown = whileArchiveWindowShown([&] { click(*window, "bArchive"); }, [](Form2 &) {});
    QVERIFY(!shown);
    QCOMPARE(program.prompts.messages.size(), 1);
    QVERIFY2(program.prompts.messages.constFirst().text.startsWith(u"Ошибка 53"_s),
             qPrintable(program.prompts.messages.constFirst().text));
    QVERIFY(window->isVisible());
    QVERIFY(!QFile::exists(program.folder.filePath(u"QM.dbf"_s)));
}

}  // namespace qm::test

QTEST_MAIN(qm::test::ArchiveButtonTest)
#include "test_archive_button.moc"
