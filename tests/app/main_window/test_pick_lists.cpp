#include "app/main_window/act_controls.h"
#include "common/failure.h"
#include "settings/pick_lists.h"
#include "support/temp_program_folder.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct NumberedList {
    const char *name;
    QString section;
    QString prefix;
    qm::PickList (*load)(const QString &);
};

const NumberedList numberedLists[] = {
    {"mechanics", u"TechNames"_s, u"Tech"_s, qm::LoadTechnicians},
    {"models", u"KKM"_s, u"KKM"_s, qm::LoadKkmModels},
};

QStringList itemsOf(const QComboBox &list)
{
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items.append(list.itemText(i));
    return items;
}

// Lines "3=name" become "<prefix>3=name" in the list's section.
void writeList(const qm::test::TempProgramFolder &folder, const NumberedList &list, const QStringList &keys)
{
    QString text = u"[%1]\r\n"_s.arg(list.section);
    for (const QString &key : keys)
        text += list.prefix + key + u"\r\n"_s;
    folder.writeSettings(text);
}

}  // namespace

class PickListsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reloadsNumberedKeysUpToTheFirstGap_data();
    void reloadsNumberedKeysUpToTheFirstGap();
    void keyCounterOverflowsAfterItem32767_data();
    void keyCounterOverflowsAfterItem32767();
    void operationTypesAreTheFiveFixedTexts();
};

void PickListsTest::reloadsNumberedKeysUpToTheFirstGap_data()
{
    QTest::addColumn<int>("listIndex");
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("expected");

    const struct {
        const char *name;
        bool fileExists;
        QStringList keys, expected;
    } rows[] = {
        {"gap at 3 ends the list", true, {u"1=Первый"_s, u"2=Второй"_s, u"4=Четвёртый"_s}, {u"Первый"_s, u"Второй"_s}},
        {"empty first key", true, {u"1="_s, u"2=Второй"_s}, {}},
        {"quoted empty ends the list", true, {u"1=Первый"_s, u"2=\"\""_s, u"3=Третий"_s}, {u"Первый"_s}},
        {"leading zero is another key", true, {u"01=Первый"_s}, {}},
        {"no settings file", false, {}, {}},
        {"key order, 10 after 9",
         true,
         {u"10=к"_s, u"2=б"_s, u"1=а"_s, u"3=в"_s, u"4=г"_s, u"5=д"_s, u"6=е"_s, u"7=ж"_s, u"8=з"_s, u"9=и"_s},
         {u"а"_s, u"б"_s, u"в"_s, u"г"_s, u"д"_s, u"е"_s, u"ж"_s, u"з"_s, u"и"_s, u"к"_s}},
        {"duplicates kept, values unquoted and trimmed",
         true,
         {u"1 =  Иванов И.И. "_s, u"2=\"Иванов И.И.\""_s},
         {u"Иванов И.И."_s, u"Иванов И.И."_s}},
    };
    for (int i = 0; i < 2; ++i) {
        for (const auto &row : rows) {
            QTest::addRow("%s: %s", numberedLists[i].name, row.name) << i << row.fileExists << row.keys << row.expected;
        }
    }
}

void PickListsTest::reloadsNumberedKeysUpToTheFirstGap()
{
    QFETCH(int, listIndex);
    QFETCH(bool, fileExists);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, expected);
    const NumberedList &numbered = numberedLists[listIndex];
    const qm::test::TempProgramFolder folder;
    const QString path = folder.filePath(u"Quillmarch.ini"_s);

    // The file is edited by hand while the program runs: the reload must show
    // the new content and drop the choice made from the old one.
    writeList(folder, numbered, {u"1=Старый"_s, u"2=Прежний"_s});
    QComboBox list;
    qm::fillPickList(&list, numbered.load(path));
    list.setCurrentIndex(1);

    if (fileExists)
        writeList(folder, numbered, keys);
    else
        QVERIFY(QFile::remove(path));
    qm::fillPickList(&list, numbered.load(path));

    QCOMPARE(itemsOf(list), expected);
    QCOMPARE(list.currentIndex(), -1);
}

void PickListsTest::keyCounterOverflowsAfterItem32767_data()
{
    QTest::addColumn<int>("listIndex");
    QTest::addColumn<int>("keyCount");
    for (int i = 0; i < 2; ++i) {
        for (int count : {32766, 32767, 32768})
            QTest::addRow("%s: %d keys", numberedLists[i].name, count) << i << count;
    }
}

void PickListsTest::keyCounterOverflowsAfterItem32767()
{
    QFETCH(int, listIndex);
    QFETCH(int, keyCount);
    const NumberedList &numbered = numberedLists[listIndex];

    QStringList keys;
    for (int n = 1; n <= keyCount; ++n)
        keys.append(u"%1=Имя %1"_s.arg(n));
    const qm::test::TempProgramFolder folder;
    writeList(folder, numbered, keys);

    // The loader itself raises nothing: the window raises the overflow once the box is filled.
    const qm::PickList loaded = numbered.load(folder.filePath(u"Quillmarch.ini"_s));
    QCOMPARE(loaded.items.size(), qMin(keyCount, 32767));
    QCOMPARE(loaded.overflow.has_value(), keyCount >= 32767);

    QComboBox list;
    try {
        qm::fillPickList(&list, loaded);
        QVERIFY2(keyCount < 32767, "no overflow raised");
    } catch (const qm::Failure &failure) {
        QVERIFY2(keyCount >= 32767, qPrintable(failure.description()));
        QCOMPARE(failure.number(), int(qm::FailureCode::Overflow));
        QVERIFY(failure.description().contains(numbered.section));
        QVERIFY(failure.description().contains(numbered.prefix + u"32767"_s));
    }
    // The item of key 32767 is in the list before the counter overflows.
    QCOMPARE(list.count(), qMin(keyCount, 32767));
    QCOMPARE(list.itemText(list.count() - 1), u"Имя %1"_s.arg(list.count()));
    QCOMPARE(list.currentIndex(), -1);
}

void PickListsTest::operationTypesAreTheFiveFixedTexts()
{
    const QStringList expected = {
        u"Истечение установленного срока эксплуатации ЭКЛЗ"_s,
        u"Заполнение ЭКЛЗ"_s,
        u"Неисправность ЭКЛЗ"_s,
        u"Закрытие архима ЭКЛЗ"_s,
        u"Замена блока фискальной памяти"_s,
    };
    QComboBox list;
    qm::fillPickList(&list, qm::LoadOperationTypes());
    list.setCurrentIndex(3);
    qm::fillPickList(&list, qm::LoadOperationTypes());
    QCOMPARE(itemsOf(list), expected);
    QCOMPARE(list.currentIndex(), -1);
}

QTEST_MAIN(PickListsTest)
#include "test_pick_lists.moc"
