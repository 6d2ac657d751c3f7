#include "app/main_window/form1.h"
#include "app/program/russian_translations.h"
#include "support/main_window_harness.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

// A menu entry's words, without its accelerator mark and its shortcut.
QString wordsOf(const QAction *action)
{
    return action->text().section(u'\t', 0, 0).remove(u'&');
}

bool isRussian(const QString &words)
{
    static const QRegularExpression latin(u"[A-Za-z]"_s);
    static const QRegularExpression cyrillic(u"\\p{Cyrillic}"_s);
    return words.contains(cyrillic) && !words.contains(latin);
}

}  // namespace

// Qt's own texts in the program's windows, with the system's language English
// as on a build machine.
class RussianTextsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY2(useRussianEverywhere(*QCoreApplication::instance()),
                 "qtbase_ru not found: install the Debian package qt6-translations-l10n");
    }

    void textFieldContextMenu()
    {
        QLineEdit field(u"ООО Ромашка"_s);
        field.selectAll();
        const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QStringList entries;
        QString copy;
        for (const QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            entries << action->text();
            QVERIFY2(isRussian(wordsOf(action)), qPrintable(action->text()));
            // The entry is known by its shortcut, which stays Latin.
            if (action->text().section(u'\t', 1) == QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText))
                copy = action->text().section(u'\t', 0, 0);
        }
        QVERIFY2(entries.size() >= 6, qPrintable(entries.join(u", ")));
        QCOMPARE(copy, u"&Копировать"_s);
    }

    void datePickerCalendarAndTheActDate()
    {
        MainWindowHarness program(
            HarnessOptions().withTemplate(ProgramTemplate::Dummy).at(QDateTime(QDate(2026, 12, 7), QTime(10, 15))));
        const auto window = program.show();
        QVERIFY(window);

        const ActControls act = window->actControls();
        QCalendarWidget *calendar = act.DTP->calendarWidget();
        QVERIFY(calendar);
        QCOMPARE(calendar->firstDayOfWeek(), Qt::Monday);
        calendar->setSelectedDate(act.DTP->date());
        const auto *month = calendar->findChild<QToolButton *>(u"qt_calendar_monthbutton"_s);
        QVERIFY(month);
        QCOMPARE(month->text().toLower(), u"декабрь"_s);
        // The header row of the month's table: the week's days from Monday.
        const auto *days = calendar->findChild<QTableView *>(u"qt_calendar_calendarview"_s);
        QVERIFY(days);
        const QAbstractItemModel *model = days->model();
        int firstDay = 0;
        while (firstDay < model->columnCount() && model->data(model->index(0, firstDay)).toString().isEmpty())
            ++firstDay;
        QCOMPARE(model->data(model->index(0, firstDay)).toString().toLower(), u"пн"_s);
        QCOMPARE(model->data(model->index(0, firstDay + 6)).toString().toLower(), u"вс"_s);

        // The program's own dates keep their formats whatever the language.
        QCOMPARE(act.DTP->text(), u"07.12.2026"_s);
        program.prompts.answer(PromptAnswer::No);
        click(*window, "bCreateAct");
        QCOMPARE(program.spreadsheet.workbooks.value(u"1:1"_s).value(u"K28"_s), u"07.12.2026г."_s);
        const auto records = program.archive.open(ArchiveAccess::ReadOnly);
        QCOMPARE(records->value(u"ACTDATE"), QVariant(u"7.12.2026"_s));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::RussianTextsTest)
#include "test_russian_texts.moc"
