#include "app/main_window/form1.h"
#include "app/main_window/startup.h"
#include "archive/archive_snapshot.h"
#include "archive/archive_table.h"
#include "archive/archived_acts.h"
#include "support/main_window_harness.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(10, 15, 30));

// The main window's program with its clock stopped at kNow.
struct Program : MainWindowHarness {
    explicit Program(const QString &settings = sampleSettings())
        : MainWindowHarness(HarnessOptions().withSettings(settings).at(kNow))
    {
    }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void freshStart()
    {
        Program program;
        const auto window = program.start();
        QVERIFY(window);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));

        const ActControls act = window->actControls();
        QCOMPARE(act.DTP->dateTime(), kNow);
        for (const QLineEdit *field :
             {act.txtMIFNS, act.txtNameOrg, act.txtINN, act.txtZavNum, act.txtGodVyp, act.txtEKLZ})
            QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
        QVERIFY(act.chSoderjimoe->isChecked());
        QVERIFY(act.chProchest->isChecked());
        for (const QComboBox *list : {act.cmbNameKKM, act.cmbVidOp, act.cmbTech})
            QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(items(act.cmbTech), (QStringList{u"Иванов И.И."_s, u"Петров П.П."_s}));
        QCOMPARE(items(act.cmbNameKKM), (QStringList{u"ЭЛВЕС-МИКРО-К"_s, u"Меркурий-115Ф"_s}));
        QCOMPARE(act.cmbVidOp->count(), 5);

        QCOMPARE(QApplication::focusWidget(), act.txtNameOrg);
        QCOMPARE(program.layout.activeLayoutId(), u"00000419"_s);
        QCOMPARE(program.layout.steps, 1);

        QVERIFY(!window->statusPanelText(1).isEmpty());
        QCOMPARE(window->statusPanelText(2), u"Записей: 0"_s);
        QCOMPARE(window->statusPanelText(3), u"Ver.2.0 build 1"_s);
        QCOMPARE(window->values().PrintCopies, qint16(2));
        QCOMPARE(window->values().NullKeyCode, qint16(127));
        QCOMPARE(window->values().IniPath, program.filePath(u"Quillmarch.ini"_s));
        QVERIFY(program.prompts.messages.isEmpty());
    }

    void windowIsDrawnAsTheActLayout()
    {
        Program program;
        const auto window = program.start();
        QCOMPARE(window->windowTitle(), u"Quillmarch - заполнение документов"_s);
        QCOMPARE(window->size(), QSize(901, 295));
        QCOMPARE(child<QLineEdit>(*window, "txtNameOrg")->geometry(), QRect(165, 39, 352, 27));
        QCOMPARE(child<QComboBox>(*window, "cmbVidOp")->geometry(), QRect(165, 110, 598, 26));
        QCOMPARE(child<QPushButton>(*window, "bExit")->geometry(), QRect(784, 186, 105, 25));
        QCOMPARE(child<QLineEdit>(*window, "txtGodVyp")->maxLength(), 4);
        QCOMPARE(child<QLineEdit>(*window, "txtEKLZ")->maxLength(), 10);

        const QFont font = child<QLineEdit>(*window, "txtINN")->font();
        QCOMPARE(font.family(), u"Courier"_s);
        QCOMPARE(font.pointSize(), 12);
        QVERIFY(child<QStatusBar>(*window, "SB1")->font().family() != u"Courier"_s);

        const QStringList tabOrder
            = {u"txtNameOrg"_s, u"txtINN"_s,       u"cmbNameKKM"_s, u"txtZavNum"_s, u"txtGodVyp"_s, u"cmbVidOp"_s,
               u"txtEKLZ"_s,    u"chSoderjimoe"_s, u"chProchest"_s, u"cmbTech"_s,   u"bArchive"_s,  u"bClear"_s,
               u"bCreateAct"_s, u"bExit"_s,        u"DTP"_s,        u"txtMIFNS"_s};
        QWidget *widget = child<QWidget>(*window, "txtNameOrg");
        for (qsizetype i = 1; i < tabOrder.size(); ++i) {
            widget = widget->nextInFocusChain();
            while (widget->focusPolicy() == Qt::NoFocus || !tabOrder.contains(widget->objectName()))
                widget = widget->nextInFocusChain();
            QCOMPARE(widget->objectName(), tabOrder[i]);
        }
    }

    // A screen reader or a UI robot finds every field by the words beside it.
    void everyFieldIsNamedByItsLabel_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("control");
        QTest::newRow("date") << u"Дата"_s << u"DTP"_s;
        QTest::newRow("inspectorate") << u"В Межрайонную ИФНС России №"_s << u"txtMIFNS"_s;
        QTest::newRow("customer") << u"Заказчик"_s << u"txtNameOrg"_s;
        QTest::newRow("INN") << u"ИНН"_s << u"txtINN"_s;
        QTest::newRow("model") << u"Модель ККМ"_s << u"cmbNameKKM"_s;
        QTest::newRow("serial") << u"Зав. №"_s << u"txtZavNum"_s;
        QTest::newRow("year") << u"Год вып."_s << u"txtGodVyp"_s;
        QTest::newRow("operation") << u"Вид операции:"_s << u"cmbVidOp"_s;
        QTest::newRow("EKLZ") << u"Регистр. № ЭКЛЗ:"_s << u"txtEKLZ"_s;
        QTest::newRow("mechanic") << u"Механик"_s << u"cmbTech"_s;
        QTest::newRow("contents") << u"Содержимое ЭКЛЗ сохранилось,"_s << u"chSoderjimoe"_s;
        QTest::newRow("readable") << u"прочесть возможно"_s << u"chProchest"_s;
        QTest::newRow("print") << u"Печатать"_s << u"bCreateAct"_s;
        QTest::newRow("archive") << u"Архив"_s << u"bArchive"_s;
        QTest::newRow("clear") << u"Очистить"_s << u"bClear"_s;
        QTest::newRow("exit") << u"Выход"_s << u"bExit"_s;
    }

    void everyFieldIsNamedByItsLabel()
    {
        QFETCH(QString, label);
        QFETCH(QString, control);
        Program program;
        const auto window = program.show();
        QWidget *widget = window->findChild<QWidget *>(control);
        QVERIFY(widget);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name).trimmed(), label);
    }

    void clearKeepsInspectorateAndDateAndFollowsTheSettingsFile()
    {
        Program program;
        const auto window = program.start();
        const ActControls act = window->actControls();
        act.txtMIFNS->setText(u"15"_s);
        act.DTP->setDate(QDate(2020, 2, 29));
        for (QLineEdit *field : {act.txtNameOrg, act.txtINN, act.txtZavNum, act.txtGodVyp, act.txtEKLZ})
            field->setText(u"1"_s);
        act.cmbTech->setCurrentIndex(1);
        act.cmbNameKKM->setCurrentIndex(0);
        act.cmbVidOp->setCurrentIndex(3);
        act.chSoderjimoe->setChecked(false);
        act.chProchest->setCheckState(Qt::PartiallyChecked);
        program.writeSettings(
            sampleSettings().replace(u"Tech2=Петров П.П.\n"_s, u"Tech2=Петров П.П.\nTech3=Сидоров С.С.\n"_s));

        click(*window, "bClear");

        QCOMPARE(act.txtMIFNS->text(), u"15"_s);
        QCOMPARE(act.DTP->date(), QDate(2020, 2, 29));
        for (const QLineEdit *field : {act.txtNameOrg, act.txtINN, act.txtZavNum, act.txtGodVyp, act.txtEKLZ})
            QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
        for (const QComboBox *list : {act.cmbNameKKM, act.cmbVidOp, act.cmbTech})
            QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(act.chSoderjimoe->checkState(), Qt::Checked);
        QCOMPARE(act.chProchest->checkState(), Qt::Checked);
        QCOMPARE(items(act.cmbTech).last(), u"Сидоров С.С."_s);
    }

    void startUpFailureIsShownAndEndsTheProgram_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("archivePresent");
        QTest::addColumn<int>("number");
        QTest::newRow("KeyNull not a number") << u"[System]\r\nKeyNull=abc\r\n"_s << true << 13;
        QTest::newRow("Quan too large") << u"[ActNumber]\r\nQuan=40000\r\n"_s << true << 6;
        QTest::newRow("archive missing") << QString() << false << 53;
    }

    void startUpFailureIsShownAndEndsTheProgram()
    {
        QFETCH(QString, settings);
        QFETCH(bool, archivePresent);
        QFETCH(int, number);
        Program program(settings);
        if (!archivePresent)
            QVERIFY(QFile::remove(program.archivePath()));
        QVERIFY(!program.start());
        QCOMPARE(program.prompts.messages.size(), 1);
        const MessageRequest &message = program.prompts.messages[0];
        QCOMPARE(message.title, u"Quillmarch"_s);
        QCOMPARE(message.icon, PromptIcon::Critical);
        QVERIFY2(message.text.startsWith(u"Ошибка "_s + QString::number(number) + u"\r\n"_s), qPrintable(message.text));
        QVERIFY(!QFile::exists(program.archivePath()) || archivePresent);
    }

    void printingFromTheWindowArchivesAndCounts()
    {
        Program program;
        program.writeFile(u"Quillmarch.xls"_s, "template");
        const auto window = program.start();
        const ActControls act = window->actControls();
        act.cmbVidOp->setCurrentIndex(1);
        act.txtNameOrg->setText(u"ООО Ромашка"_s);
        act.chProchest->setCheckState(Qt::PartiallyChecked);
        program.prompts.answer(PromptAnswer::No);
        click(*window, "bCreateAct");
        QCOMPARE(window->statusPanelText(2), u"Записей: 1"_s);
        // A greyed box counts as ticked.
        QCOMPARE(program.spreadsheet.workbooks.value(u"1:1"_s).value(u"L24"_s), u"возможно"_s);
        QCOMPARE(act.txtNameOrg->text(), u"ООО Ромашка"_s);
        QCOMPARE(CountArchiveRecords(program.archive), 1);
        QVERIFY(program.spreadsheet.log.contains(u"1:visible"_s));
    }

    // A screen reader hears what each status panel shows, and the count is
    // never cut, however large the archive.
    void statusPanelsReadAsShownAndTheCountIsWhole()
    {
        Program program;
        const auto window = program.show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QStringList descriptions{u"Изготовитель"_s, u"Число записей в архиве"_s, u"Версия"_s};
        QList<QLabel *> panels;
        for (QLabel *label : child<QStatusBar>(*window, "SB1")->findChildren<QLabel *>())
            if (descriptions.contains(label->accessibleDescription()))
                panels << label;
        QCOMPARE(panels.size(), 3);

        const int ordinaryWidth = panels[1]->width();
        QCOMPARE(ordinaryWidth, 96);
        window->showRecordCount(9999999);
        QCOMPARE(window->statusPanelText(2), u"Записей: 9999999"_s);
        for (QLabel *panel : panels) {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(panel);
            QCOMPARE(accessible->text(QAccessible::Name), panel->text());
            QVERIFY(!panel->text().isEmpty());
            const int textRoom = panel->contentsRect().width();
            QVERIFY2(panel->fontMetrics().horizontalAdvance(panel->text()) <= textRoom, qPrintable(panel->text()));
        }
        window->showRecordCount(12);
        QCOMPARE(panels[1]->width(), ordinaryWidth);
    }

    // A recalled text longer than its box is shown whole, and the box takes
    // no more typing than its own limit once the text is edited or cleared.
    void recalledLongTextRaisesTheLimitOnlyWhileItNeedsIt()
    {
        Program program;
        const auto window = program.show();
        QLineEdit *serial = window->actControls().txtZavNum;
        RecalledAct recalled;
        recalled.texts.serialNumber = u"123456789012345"_s;
        window->showRecalledAct(recalled);
        QCOMPARE(serial->text(), u"123456789012345"_s);

        serial->setFocus();
        serial->end(false);
        QTest::keyClick(serial, Qt::Key_7);
        QCOMPARE(serial->text(), u"123456789012345"_s);
        QTest::keyClick(serial, Qt::Key_Backspace);
        QTest::keyClick(serial, Qt::Key_7);
        QCOMPARE(serial->text(), u"12345678901234"_s);

        click(*window, "bClear");
        QCOMPARE(serial->maxLength(), 12);
        recalled.texts.serialNumber = u"1234567890123"_s;
        window->showRecalledAct(recalled);
        recalled.texts.serialNumber = u"12"_s;
        window->showRecalledAct(recalled);
        QTest::keyClicks(serial, u"3456789012345"_s);
        QCOMPARE(serial->text(), u"123456789012"_s);
    }

    // A recalled act selects list items by exact text, the last equal one
    // winning; null lists reload or clear; the inspectorate is never touched.
    // An act printed without a mechanic, a model or an operation type comes
    // back from the archive with none chosen, whatever the form showed.
    void recalledActFollowsTheListAndNullRules()
    {
        Program program(
            sampleSettings().replace(u"Tech2=Петров П.П.\n"_s, u"Tech2=Петров П.П.\nTech3=Иванов И.И.\n"_s));
        const auto window = program.start();
        const ActControls act = window->actControls();
        act.txtMIFNS->setText(u"46"_s);
        act.cmbNameKKM->setCurrentIndex(1);
        act.cmbVidOp->setCurrentIndex(2);
        act.DTP->setDate(QDate(2020, 2, 29));

        RecalledAct recalled;
        recalled.date = QDate(1900, 1, 1);            // outside the picker's range
        recalled.mechanic = u"Иванов И.И."_s;         // the last equal item wins
        recalled.registerModel = u"меркурий-115ф"_s;  // no exact match: an item of its own
        recalled.operationType = std::nullopt;
        recalled.contentsPreserved = false;
        recalled.readable = true;
        recalled.texts = {u" "_s, u"2004"_s, u"7701234567"_s, u"123456    "_s, QString()};
        window->showRecalledAct(recalled);

        QCOMPARE(act.DTP->date(), QDate(2020, 2, 29));
        QCOMPARE(act.cmbTech->currentIndex(), 2);
        QCOMPARE(act.cmbNameKKM->currentIndex(), 2);
        QCOMPARE(act.cmbNameKKM->currentText(), u"меркурий-115ф"_s);
        QCOMPARE(act.cmbVidOp->currentIndex(), -1);
        QVERIFY(!act.chSoderjimoe->isChecked());
        QVERIFY(act.chProchest->isChecked());
        QCOMPARE(act.txtZavNum->text(), u" "_s);
        QCOMPARE(act.txtEKLZ->text(), u"123456    "_s);
        QCOMPARE(act.txtNameOrg->text(), QString());
        QCOMPARE(act.txtMIFNS->text(), u"46"_s);

        program.writeFile(u"Quillmarch.xls"_s, "template");
        for (QComboBox *list : {act.cmbTech, act.cmbNameKKM, act.cmbVidOp})
            list->setCurrentIndex(-1);
        act.DTP->setDate(QDate(2012, 1, 6));
        act.txtINN->clear();
        program.prompts.answer(PromptAnswer::Ok);  // «Выберите тип операции»
        program.prompts.answer(PromptAnswer::No);
        click(*window, "bCreateAct");
        QCOMPARE(CountArchiveRecords(program.archive), 1);

        // Null mechanic and model: both lists are read afresh from the settings.
        program.writeSettings(sampleSettings().replace(u"Tech2=Петров П.П.\n"_s, u"Tech2=Сидоров С.С.\n"_s));
        act.DTP->setDate(QDate(2020, 2, 29));
        act.cmbTech->setCurrentIndex(0);
        act.cmbNameKKM->setCurrentIndex(1);
        act.cmbVidOp->setCurrentIndex(3);
        window->showRecalledAct(*RecallArchivedAct(program.archive, program.archive.snapshot()->listed(0)));
        QCOMPARE(act.DTP->date(), QDate(2012, 1, 6));
        QCOMPARE(act.cmbVidOp->currentIndex(), -1);
        QCOMPARE(act.cmbVidOp->count(), 5);
        QCOMPARE(act.cmbTech->currentIndex(), -1);
        QCOMPARE(act.cmbNameKKM->currentIndex(), -1);
        QCOMPARE(act.cmbNameKKM->count(), 2);
        QCOMPARE(items(act.cmbTech), (QStringList{u"Иванов И.И."_s, u"Сидоров С.С."_s}));
    }

    // An act recalled with names the settings no longer hold is reprinted and
    // archived with those names, never with the previous act's choices; the
    // extra items are marked and go at «Очистить» and at the next recall.
    void reprintCarriesTheArchivedNames()
    {
        Program program;
        program.writeFile(u"Quillmarch.xls"_s, "template");
        const auto window = program.start();
        const ActControls act = window->actControls();
        act.cmbTech->setCurrentIndex(1);
        act.cmbNameKKM->setCurrentIndex(1);
        act.cmbVidOp->setCurrentIndex(1);

        RecalledAct recalled;
        recalled.mechanic = u"Сидоров С.С."_s;
        recalled.registerModel = u"ЭКР 2102К"_s;
        recalled.operationType = u"Закрытие архива ЭКЛЗ"_s;  // an older program's wording
        window->showRecalledAct(recalled);
        for (QComboBox *list : {act.cmbTech, act.cmbNameKKM, act.cmbVidOp}) {
            QVERIFY(!list->toolTip().isEmpty());
            QCOMPARE(QAccessible::queryAccessibleInterface(list)->text(QAccessible::Description), list->toolTip());
            QCOMPARE(list->itemData(list->currentIndex(), Qt::AccessibleDescriptionRole).toString(), list->toolTip());
        }

        program.prompts.answer(PromptAnswer::No);
        click(*window, "bCreateAct");
        const QMap<QString, QString> sheet = program.spreadsheet.workbooks.value(u"1:1"_s);
        QCOMPARE(sheet.value(u"F28"_s), u"Сидоров С.С."_s);
        QCOMPARE(sheet.value(u"C6"_s), u"ЭКР 2102К"_s);
        QCOMPARE(sheet.value(u"D17"_s), u"Закрытие архива ЭКЛЗ"_s);
        const RecalledAct archived = *RecallArchivedAct(program.archive, program.archive.snapshot()->listed(0));
        QCOMPARE(archived.mechanic, recalled.mechanic);
        QCOMPARE(archived.registerModel, recalled.registerModel);
        QCOMPARE(archived.operationType, recalled.operationType);

        // The next recall takes the extra items away; a known name selects its
        // own item, and blanks choose none rather than the last act's choice.
        recalled.mechanic = u"Петров П.П."_s;
        recalled.registerModel = u" "_s;
        recalled.operationType = u""_s;
        window->showRecalledAct(recalled);
        QCOMPARE(items(act.cmbTech), (QStringList{u"Иванов И.И."_s, u"Петров П.П."_s}));
        QCOMPARE(act.cmbTech->currentIndex(), 1);
        QVERIFY(act.cmbTech->toolTip().isEmpty());
        QCOMPARE(act.cmbNameKKM->count(), 2);
        QCOMPARE(act.cmbNameKKM->currentIndex(), -1);
        QCOMPARE(act.cmbVidOp->count(), 5);
        QCOMPARE(act.cmbVidOp->currentIndex(), -1);

        recalled.mechanic = u"Сидоров С.С."_s;
        window->showRecalledAct(recalled);
        QCOMPARE(act.cmbTech->count(), 3);
        click(*window, "bClear");
        QCOMPARE(items(act.cmbTech), (QStringList{u"Иванов И.И."_s, u"Петров П.П."_s}));
        QVERIFY(act.cmbTech->toolTip().isEmpty());
    }

    void exitClosesTheWindow()
    {
        Program program;
        const auto window = program.show();
        click(*window, "bExit");
        QVERIFY(!window->isVisible());
    }

    void officeIsStartedAheadOnceTheWindowIsShown_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<int>("aheadStarts");
        QTest::newRow("no key") << u"KeyNull=127"_s << 1;
        QTest::newRow("OfficeAhead=1") << u"KeyNull=127\nOfficeAhead=1"_s << 1;
        QTest::newRow("OfficeAhead=0") << u"KeyNull=127\nofficeahead = 0 "_s << 0;
    }

    void officeIsStartedAheadOnceTheWindowIsShown()
    {
        QFETCH(QString, system);
        QFETCH(int, aheadStarts);
        Program program(sampleSettings().replace(u"KeyNull=127"_s, system));
        const auto window = program.start();
        QVERIFY(window);
        // Not before the window is on screen: the start-up must not wait for it.
        QCoreApplication::processEvents();
        QCOMPARE(program.spreadsheet.aheadStarts, 0);

        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_COMPARE_WITH_TIMEOUT(program.spreadsheet.aheadStarts, aheadStarts, 30000);
        window->repaint();
        QCoreApplication::processEvents();
        QCOMPARE(program.spreadsheet.aheadStarts, aheadStarts);

        // Started ahead or for an act, an office left holding nothing ends with the window.
        click(*window, "bExit");
        QCOMPARE(program.spreadsheet.unusedEnds, 1);
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::MainWindowTest)
#include "test_main_window.moc"
