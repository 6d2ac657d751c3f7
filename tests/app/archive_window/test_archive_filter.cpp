// The archive window's filter against a real QM.dbf: which lines it shows,
// and that recall and deletion act on the record of the line as shown.

#include "archive_test_fixture.h"

#include "app/archive_window/form2.h"
#include "archive/archive_record_text.h"
#include "archive/dbf_header.h"
#include "common/failure.h"

#include <QAccessible>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

ArchiveRow customerRow(int n, const QString &customer)
{
    ArchiveRow row = sampleRow(n);
    row.insert(ArchiveField::NAMEORG.toString(), customer);
    return row;
}

// Types text key by key; QTest::keyClicks knows Latin-1 only.
void typeText(QWidget *field, const QString &text)
{
    for (QChar character : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key(character.toUpper().unicode()), QString(character), {});
}

// The archive window with its search field typed into.
struct SearchedWindow : OpenWindow {
    using OpenWindow::OpenWindow;
    void type(const QString &text) { typeText(window.txtPoisk(), text); }
    void erase(int characters)
    {
        for (int i = 0; i < characters; ++i)
            QTest::keyClick(window.txtPoisk(), Qt::Key_Backspace);
    }
};

// The lines of the archive now that contain the text, by a plain search of each.
QStringList linesContaining(ArchiveWorld &world, const QString &text)
{
    QStringList matching;
    for (const QString &line : world.listLines()) {
        if (line.contains(text, Qt::CaseInsensitive))
            matching.append(line);
    }
    return matching;
}

// The plain search the filter must agree with: the shown line, every fact
// but the two yes/no ones ("?" when unreadable) and the date written both
// ways, each folded with QString::toCaseFolded().
struct ReferenceRecord {
    QString line;
    QStringList texts;
};

QList<ReferenceRecord> referenceRecords(Archive &archive)
{
    using namespace ArchiveField;
    const auto text = [](const ArchiveRecordSet &records, QStringView field) {
        try {
            return archiveFieldText(records.value(field));
        } catch (const Failure &) {
            return u"?"_s;
        }
    };
    QList<ReferenceRecord> all;
    const auto records = archive.open(ArchiveAccess::ReadOnly);
    for (; !records->atEnd(); records->moveNext()) {
        ReferenceRecord record;
        record.line = QStringList{text(*records, ACTDATE), text(*records, ZAVNUM), text(*records, NAMEORG),
                                  text(*records, PRICHINA)}
                          .join(u" ~ "_s);
        record.texts.append(record.line);
        for (QStringView field : {ACTDATE, MECHNAME, TYPEKKM, ZAVNUM, GODVYP, INN, EKLZREG, NAMEORG, PRICHINA})
            record.texts.append(text(*records, field));
        try {
            if (const std::optional<QDate> date = archiveFieldDate(records->value(ACTDATE))) {
                record.texts.append(date->toString(u"dd.MM.yyyy"_s));
                record.texts.append(date->toString(u"d.M.yyyy"_s));
            }
        } catch (const Failure &) {
        }
        all.append(record);
    }
    return all;
}

QStringList referenceMatches(const QList<ReferenceRecord> &records, const QString &filter)
{
    const QString folded = filter.toCaseFolded();
    QStringList lines;
    for (const ReferenceRecord &record : records) {
        if (std::any_of(record.texts.begin(), record.texts.end(),
                        [&folded](const QString &text) { return text.toCaseFolded().contains(folded); }))
            lines.append(record.line);
    }
    return lines;
}

}  // namespace

class ArchiveFilterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filterAgreesWithAPlainSearchOfEveryFact_data();
    void filterAgreesWithAPlainSearchOfEveryFact();
    void filterIgnoresLetterCase_data();
    void filterIgnoresLetterCase();
    void typingAndErasingShowWhatTheTextMatches();
    void identicalLinesInAFilteredViewRecallAndDeleteTheirOwnRecords();
    void selectionFollowsItsLineThroughTheFilter();
    void deletionsInALongArchiveWithGapsKeepEveryLineOnItsRecord();
    void filterSitsInTheBottomRowAndKeepsEnterAndEscapeInert();
    void linesAreReadAsListItems();
};

void ArchiveFilterTest::filterAgreesWithAPlainSearchOfEveryFact_data()
{
    QTest::addColumn<int>("languageDriver");
    QTest::addColumn<bool>("dateColumn");
    QTest::newRow("Windows-1251, dates as text") << int(kDbfLdidWindows1251) << false;
    QTest::newRow("DOS 866, dates as text") << 0x26 << false;
    QTest::newRow("Windows-1251, date column with damaged cells") << int(kDbfLdidWindows1251) << true;
}

void ArchiveFilterTest::filterAgreesWithAPlainSearchOfEveryFact()
{
    QFETCH(int, languageDriver);
    QFETCH(bool, dateColumn);
    ArchiveWorld world;
    world.recreateArchive(dateColumn, std::uint8_t(languageDriver));

    const QStringList people{u"Ёлкин Пётр"_s, u"ЁЛКИН П."_s,         u"Елкин"_s, u"Smith John"_s, u"ЖУКОВ ж.ж."_s,
                             u"Mc Ёж ~ 7"_s,  u"  ведущий пробел"_s, u""_s};
    // Values that fill their columns put a match against the cell's last byte.
    const QStringList serials{u"AB12"_s, u"ёж-7"_s, u"Z 0"_s, u"0712"_s, u"ЁЖ-7"_s, u""_s, u"SN0123456789"_s};
    const QStringList dates{u"7.12.2026"_s, u"07.12.2026"_s, u"17.1.2025"_s, u"1.2.2024"_s, u"31.12.2026"_s};
    const QStringList textDates{u"7/12/2026"_s, u"не дата"_s, u" 7.1.2026 "_s, u""_s};
    const QStringList operations{u"Замена ЭКЛЗ"_s, u"замена эклз"_s, u"Activation"_s, u"Ёмкость"_s, u""_s};
    QRandomGenerator random(7122026);
    const auto pick = [&random](const QStringList &from) { return from[int(random.bounded(from.size()))]; };
    constexpr int kRecords = 80;
    for (int n = 0; n < kRecords; ++n) {
        ArchiveRow row;
        using namespace ArchiveField;
        const bool textOnly = !dateColumn && random.bounded(3) == 0;
        row.insert(ACTDATE.toString(), textOnly ? pick(textDates) : pick(dates));
        row.insert(MECHNAME.toString(), pick(people));
        row.insert(TYPEKKM.toString(), pick(QStringList{u"ЭКР 2102К"_s, u"Меркурий-115Ф"_s, u"ёмкий"_s}));
        row.insert(ZAVNUM.toString(), pick(serials));
        row.insert(GODVYP.toString(), pick(QStringList{u"2009"_s, u"2012"_s, u""_s}));
        row.insert(PRICHINA.toString(), pick(operations));
        row.insert(INN.toString(), pick(QStringList{u"7701234567"_s, u"12"_s, u""_s, u"500100732259"_s}));
        row.insert(EKLZREG.toString(), pick(QStringList{u"0007123456"_s, u"Ё1"_s}));
        row.insert(NAMEORG.toString(),
                   random.bounded(4) == 0 ? u"ООО Сорок знаков ровно в имени заказчика"_s : pick(people));
        world.append(row);
    }
    if (dateColumn) {
        world.damageCell(3, ArchiveField::ACTDATE, "2026XX07");
        world.damageCell(40, ArchiveField::ACTDATE, "20261399");
    }
    const QList<ReferenceRecord> records = referenceRecords(world.archive);
    QCOMPARE(records.size(), kRecords);

    SearchedWindow open(world);
    QVERIFY(open.loaded);
    const QStringList filters{u"ёлкин"_s,        u"ЁЛ"_s,        u"елк"_s,   u"ё"_s,        u"Е"_s,       u"smi"_s,
                              u"SMITH J"_s,      u"7.12.2026"_s, u"07.12"_s, u"7.1."_s,     u"2026 ~ "_s, u" ~ z 0 ~"_s,
                              u"~ 7"_s,          u"?"_s,         u"? ~"_s,   u"ж-7"_s,      u"Ж.Ж"_s,     u"эклз"_s,
                              u"ЁМК"_s,          u"0007"_s,      u"  в"_s,   u"7/12"_s,     u"не д"_s,    u"π"_s,
                              u"ЖУКОВ ж.ж. ~"_s, u"2259"_s,      u"6789"_s,  u"ЗАКАЗЧИКА"_s};
    for (const QString &filter : filters) {
        // Typed key by key, then erased key by key: each step widens or narrows the last.
        for (qsizetype length = 1; length <= filter.size(); ++length) {
            open.window.txtPoisk()->setText(filter.left(length));
            QCOMPARE(lineTexts(open.window.lBase()), referenceMatches(records, filter.left(length)));
        }
        for (qsizetype length = filter.size() - 1; length >= 0; --length) {
            open.window.txtPoisk()->setText(filter.left(length));
            QCOMPARE(lineTexts(open.window.lBase()), referenceMatches(records, filter.left(length)));
        }
    }
    QVERIFY(world.prompts.messages.isEmpty());
}

void ArchiveFilterTest::filterIgnoresLetterCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("customers");

    QTest::newRow("Ё typed, ё and Ё stored") << u"Ёл"_s << QStringList{u"ООО Ёлка"_s, u"ип ёлочкин"_s};
    QTest::newRow("ё typed") << u"ёл"_s << QStringList{u"ООО Ёлка"_s, u"ип ёлочкин"_s};
    QTest::newRow("е is not ё") << u"елк"_s << QStringList{u"ЗАО ЕЛКИ"_s};
    QTest::newRow("upper case typed") << u"БЕРЁЗА"_s << QStringList{u"Берёза и К"_s};
    QTest::newRow("Latin letters") << u"ooo"_s << QStringList{u"OOO Latin"_s};
    QTest::newRow("across the separator") << u"лка ~ зап"_s << QStringList{u"ООО Ёлка"_s};
    QTest::newRow("nothing matches") << u"Ромашка"_s << QStringList{};
}

void ArchiveFilterTest::filterIgnoresLetterCase()
{
    QFETCH(QString, text);
    QFETCH(QStringList, customers);
    ArchiveWorld world;
    const QStringList all{u"ООО Ёлка"_s, u"ип ёлочкин"_s, u"ЗАО ЕЛКИ"_s, u"Берёза и К"_s, u"OOO Latin"_s};
    for (int n = 0; n < all.size(); ++n)
        world.append(customerRow(n + 1, all[n]));
    SearchedWindow open(world);

    open.type(text);

    QStringList shown;
    for (const QString &line : lineTexts(open.window.lBase()))
        shown.append(line.section(u" ~ "_s, 2, 2));
    QCOMPARE(shown, customers);

    // The empty text shows every line again, in the table's order.
    open.window.txtPoisk()->clear();
    QCOMPARE(lineTexts(open.window.lBase()), world.listLines());
}

void ArchiveFilterTest::typingAndErasingShowWhatTheTextMatches()
{
    ArchiveWorld world;
    const QStringList customers{u"ООО Ромашка"_s, u"ООО Романтика"_s, u"ИП Ромов"_s, u"ЗАО Рим"_s, u"ООО Ром"_s};
    for (int n = 0; n < 24; ++n)
        world.append(customerRow(n + 1, customers[n % customers.size()]));
    SearchedWindow open(world);

    // Each key narrows or widens the list from the one before: what is shown
    // must always be what the whole text matches.
    QString typed;
    const auto check = [&] { QCOMPARE(lineTexts(open.window.lBase()), linesContaining(world, typed)); };
    for (const QString &step : {u"р"_s, u"о"_s, u"м"_s, u"а"_s, u"\b"_s, u"\b"_s, u"и"_s, u"\b"_s, u"\b"_s, u"1"_s,
                                u"2"_s, u"\b"_s, u"\b"_s}) {
        if (step == u"\b"_s) {
            open.erase(1);
            typed.chop(1);
        } else {
            open.type(step);
            typed += step;
        }
        QCOMPARE(open.window.txtPoisk()->text(), typed);
        check();
        if (QTest::currentTestFailed())
            return;
    }
    // Text pasted over a narrower text, not typed on from it.
    open.window.txtPoisk()->setText(u"рим"_s);
    typed = u"рим"_s;
    check();
    open.window.txtPoisk()->setText(u"ром"_s);
    typed = u"ром"_s;
    check();
}

void ArchiveFilterTest::identicalLinesInAFilteredViewRecallAndDeleteTheirOwnRecords()
{
    ArchiveWorld world;
    // Records 1 and 3 give identical lines; only the mechanic tells them apart.
    ArchiveRow twin = customerRow(7, u"ООО Ёлка"_s);
    world.append({customerRow(1, u"ЗАО Рим"_s), twin, customerRow(2, u"ИП Сидоров"_s),
                  [&] {
                      ArchiveRow other = twin;
                      other.insert(ArchiveField::MECHNAME.toString(), u"Механик 9"_s);
                      other.insert(ArchiveField::INN.toString(), u"500000002"_s);
                      return other;
                  }(),
                  customerRow(3, u"ооо ёлка-2"_s)});

    {
        SearchedWindow open(world);
        open.type(u"ЁЛКА"_s);
        QCOMPARE(lineTexts(open.window.lBase()).size(), 3);
        clickLine(open.window.lBase(), 1);
        QTest::mouseClick(open.window.bSelect(), Qt::LeftButton);
        QVERIFY(!open.window.isVisible());
        QVERIFY(world.actWindow.recalled);
        QCOMPARE(world.actWindow.recalled->mechanic, u"Механик 9"_s);
        QCOMPARE(world.actWindow.recalled->texts.inn, u"500000002"_s);
    }

    SearchedWindow open(world);
    open.type(u"ёлка"_s);
    clickLine(open.window.lBase(), 1);
    world.prompts.answer(PromptAnswer::Yes);
    QTest::mouseClick(open.window.bDeleteRecord(), Qt::LeftButton);

    QCOMPARE(world.actWindow.texts->inn, u"500000002"_s);
    QCOMPARE(world.column(ArchiveField::MECHNAME),
             (QList<QVariant>{u"Механик 1"_s, u"Механик 7"_s, u"Механик 2"_s, u"Механик 3"_s}));
    // The filter stays applied and no line is selected in the deleted one's place.
    QCOMPARE(open.window.txtPoisk()->text(), u"ёлка"_s);
    QCOMPARE(lineTexts(open.window.lBase()), linesContaining(world, u"ёлка"_s));
    QVERIFY(open.window.lBase()->selectionModel()->selectedIndexes().isEmpty());

    // The lines still shown recall their own records: a double-click on the second.
    const QModelIndex second = open.window.lBase()->model()->index(1, 0);
    const QPoint centre = open.window.lBase()->visualRect(second).center();
    QTest::mouseClick(open.window.lBase()->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(open.window.lBase()->viewport(), Qt::LeftButton, {}, centre);
    QVERIFY(!open.window.isVisible());
    QCOMPARE(world.actWindow.recalled->mechanic, u"Механик 3"_s);
    QCOMPARE(world.prompts.messages.size(), 1);
}

void ArchiveFilterTest::selectionFollowsItsLineThroughTheFilter()
{
    ArchiveWorld world;
    world.append({customerRow(1, u"ЗАО Рим"_s), customerRow(2, u"ООО Ёлка"_s), customerRow(3, u"ООО Рим-2"_s)});
    SearchedWindow open(world);

    // The selected line moves from row 2 to row 1 and stays selected.
    clickLine(open.window.lBase(), 2);
    open.type(u"рим"_s);
    QTest::mouseClick(open.window.bSelect(), Qt::LeftButton);
    QVERIFY(!open.window.isVisible());
    QCOMPARE(world.actWindow.recalled->mechanic, u"Механик 3"_s);

    // A selected line that the filter hides is no longer chosen, even when it
    // shows again.
    world.actWindow.recalled.reset();
    SearchedWindow again(world);
    clickLine(again.window.lBase(), 1);
    again.type(u"рим"_s);
    QTest::mouseClick(again.window.bSelect(), Qt::LeftButton);
    world.prompts.answer(PromptAnswer::Yes);
    QTest::mouseClick(again.window.bDeleteRecord(), Qt::LeftButton);
    again.window.txtPoisk()->clear();
    QTest::mouseClick(again.window.bSelect(), Qt::LeftButton);
    QVERIFY(again.window.isVisible());
    QVERIFY(!world.actWindow.recalled);
    QVERIFY(world.prompts.messages.isEmpty());
    QCOMPARE(world.recordCount(), 3);
}

void ArchiveFilterTest::deletionsInALongArchiveWithGapsKeepEveryLineOnItsRecord()
{
    // Enough acts for the window's bookkeeping to span many words of match
    // bits and several runs of record numbers, with records deleted before
    // the window opens so that the numbers have gaps.
    ArchiveWorld world;
    {
        const auto records = world.archive.open(ArchiveAccess::Writable);
        for (int n = 1; n <= 1100; ++n) {
            records->addNew();
            ArchiveRow row = n % 3 == 0 ? customerRow(n, u"ООО Рим-%1"_s.arg(n)) : sampleRow(n);
            row.insert(ArchiveField::ACTDATE.toString(), u"%1.2.2012"_s.arg(n % 28 + 1));
            for (auto it = row.cbegin(); it != row.cend(); ++it)
                records->setValue(it.key(), it.value());
            records->update();
        }
        for (const quint32 number : {6, 70, 71, 512, 901}) {
            QVERIFY(records->moveToRecordNumber(number));
            records->deleteCurrent();
            records->update();
        }
        records->close();
    }
    SearchedWindow open(world);
    open.type(u"рим"_s);
    QCOMPARE(lineTexts(open.window.lBase()), linesContaining(world, u"рим"_s));

    // The first shown line, lines around the 64th and the 512th record and the last.
    for (const int row : {0, 20, 20, 168, -1}) {
        const int shown = int(lineTexts(open.window.lBase()).size());
        clickLine(open.window.lBase(), row >= 0 ? row : shown - 1);
        world.prompts.answer(PromptAnswer::Yes);
        QTest::mouseClick(open.window.bDeleteRecord(), Qt::LeftButton);
        QCOMPARE(world.prompts.messages.size(), 1);
        world.prompts.messages.clear();
        QCOMPARE(lineTexts(open.window.lBase()), linesContaining(world, u"рим"_s));
    }
    open.window.txtPoisk()->clear();
    QCOMPARE(lineTexts(open.window.lBase()), world.listLines());

    // A line far down, selected, stays selected on its own act through the filter.
    const QStringList all = world.listLines();
    const int selected = int(all.indexOf(QRegularExpression(u".*Рим.*"_s), 1000));
    const QString line = all.at(selected);
    clickLine(open.window.lBase(), selected);
    open.type(u"рим"_s);
    QTest::mouseClick(open.window.bSelect(), Qt::LeftButton);
    QVERIFY(world.actWindow.recalled);
    QCOMPARE(world.actWindow.recalled->texts.serialNumber, line.section(u" ~ "_s, 1, 1));
}

void ArchiveFilterTest::filterSitsInTheBottomRowAndKeepsEnterAndEscapeInert()
{
    ArchiveWorld world;
    world.append({sampleRow(1), sampleRow(2)});
    SearchedWindow open(world);
    Form2 &window = open.window;

    // The window and the controls it always had keep their places.
    QCOMPARE(window.size(), QSize(811, 318));
    QCOMPARE(window.lBase()->geometry(), QRect(8, 8, 793, 276));
    QCOMPARE(window.bDeleteRecord()->geometry(), QRect(8, 288, 145, 25));
    QCOMPARE(window.bSelect()->geometry(), QRect(552, 288, 105, 25));
    QCOMPARE(window.bExit()->geometry(), QRect(696, 288, 105, 25));
    const QRect filter = window.txtPoisk()->geometry();
    QVERIFY(filter.left() > window.bDeleteRecord()->geometry().right());
    QVERIFY(filter.right() < window.bSelect()->geometry().left());
    QVERIFY(filter.top() >= 288 && filter.bottom() <= 312);
    QCOMPARE(window.txtPoisk()->accessibleName(), u"Поиск"_s);
    QCOMPARE(window.txtPoisk()->placeholderText(), u"Поиск"_s);

    // Tab: the list, the filter, then the buttons as before.
    QCOMPARE(window.focusWidget(), window.lBase());
    QList<QWidget *> visited;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
        visited.append(window.focusWidget());
    }
    QCOMPARE(visited,
             (QList<QWidget *>{window.txtPoisk(), window.bExit(), window.bSelect(), window.bDeleteRecord(),
                               window.lBase()}));

    // A selected line, and Enter and Escape typed into the filter.
    clickLine(window.lBase(), 1);
    window.txtPoisk()->setFocus();
    typeText(window.txtPoisk(), u"Z2"_s);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(window.txtPoisk(), key);
    QVERIFY(window.isVisible());
    QCOMPARE(window.txtPoisk()->text(), u"Z2"_s);
    QVERIFY(!world.actWindow.recalled);
    QVERIFY(world.prompts.messages.isEmpty());
}

void ArchiveFilterTest::linesAreReadAsListItems()
{
    ArchiveWorld world;
    world.append({sampleRow(1), sampleRow(2)});
    SearchedWindow open(world);
    open.type(u"z2"_s);

    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(open.window.lBase());
    QVERIFY(list);
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->childCount(), 1);
    QAccessibleInterface *line = list->child(0);
    QVERIFY(line);
    QCOMPARE(line->role(), QAccessible::ListItem);
    QCOMPARE(line->text(QAccessible::Name), u"2.2.2012 ~ Z2 ~ ООО Ромашка-2 ~ Заполнение ЭКЛЗ"_s);
}

}  // namespace qm::test

QTEST_MAIN(qm::test::ArchiveFilterTest)
#include "test_archive_filter.moc"
