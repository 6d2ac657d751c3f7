#include "settings/program_settings.h"

#include "common/failure.h"
#include "support/temp_program_folder.h"

#include <QTest>

using namespace Qt::StringLiterals;

class SettingsNumbersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void converts_data();
    void converts();
    void readsFromTheFileWithDefaults();
};

void SettingsNumbersTest::converts_data()
{
    QTest::addColumn<QString>("key");  // "Quan" or "KeyNull"
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");  // the number, or the failure number when failing
    QTest::addColumn<bool>("fails");

    const QString quan = u"Quan"_s;
    const QString keyNull = u"KeyNull"_s;
    const struct {
        QString key, text;
        int expected;
        bool fails;
    } rows[] = {
        {quan, u"3"_s, 3, false},
        {quan, u"2 копии"_s, 2, false},
        {quan, QString(), 0, false},
        {quan, u"0"_s, 0, false},
        {quan, u"abc"_s, 0, false},
        {quan, u"копий 3"_s, 0, false},
        {quan, u"2.5"_s, 2, false},
        {quan, u"3.5"_s, 4, false},
        {quan, u"-2.5"_s, -2, false},
        {quan, u"2.51"_s, 3, false},
        {quan, u".5"_s, 0, false},
        {quan, u"+4"_s, 4, false},
        {quan, u" 1 2 "_s, 12, false},
        {quan, u"- 3"_s, -3, false},
        {quan, u"2,7"_s, 2, false},
        {quan, u"1.2.3"_s, 1, false},
        {quan, u"1.5E1"_s, 15, false},
        {quan, u"2d1"_s, 20, false},
        {quan, u"25e-1"_s, 2, false},
        {quan, u"2e"_s, 2, false},
        {quan, u"-"_s, 0, false},
        {quan, u"1e-400"_s, 0, false},
        {quan, u"32767"_s, 32767, false},
        {quan, u"-32768.5"_s, -32768, false},
        {quan, u"40000"_s, 6, true},
        {quan, u"-40000"_s, 6, true},
        {quan, u"32767.5"_s, 6, true},
        {quan, u"1e400"_s, 6, true},
        {keyNull, u"127"_s, 127, false},
        {keyNull, u"8"_s, 8, false},
        {keyNull, u" +8 "_s, 8, false},
        {keyNull, u"0127"_s, 127, false},
        {keyNull, u"-32768"_s, -32768, false},
        {keyNull, QString(), 13, true},
        {keyNull, u"x"_s, 13, true},
        {keyNull, u"12.5"_s, 13, true},
        {keyNull, u"8 ключ"_s, 13, true},
        {keyNull, u"1 2"_s, 13, true},
        {keyNull, u"-"_s, 13, true},
        {keyNull, u"١٢"_s, 13, true},
        {keyNull, u"70000"_s, 6, true},
        {keyNull, u"-32769"_s, 6, true},
        {keyNull, u"99999999999999999999999"_s, 6, true},
    };
    for (const auto &row : rows) {
        QTest::addRow("%s=%s", qPrintable(row.key), qPrintable(row.text))
            << row.key << row.text << row.expected << row.fails;
    }
}

void SettingsNumbersTest::converts()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(int, expected);
    QFETCH(bool, fails);
    const QString iniPath = u"/opt/quillmarch/Quillmarch.ini"_s;
    const bool copies = key == u"Quan";

    try {
        const qint16 number = copies ? qm::toPrintCopies(text, iniPath) : qm::toNullKeyCode(text, iniPath);
        QVERIFY2(!fails, "no failure raised");
        QCOMPARE(int(number), expected);
    } catch (const qm::Failure &failure) {
        QVERIFY2(fails, qPrintable(failure.description()));
        QCOMPARE(failure.number(), expected);
        // The mechanic must be able to find the line to fix.
        const QString section = copies ? u"ActNumber"_s : u"System"_s;
        for (const QString &part : {iniPath, section, key, text})
            QVERIFY2(failure.description().contains(part), qPrintable(failure.description()));
    }
}

void SettingsNumbersTest::readsFromTheFileWithDefaults()
{
    qm::test::TempProgramFolder folder;
    const QString path = folder.filePath(u"Quillmarch.ini"_s);
    QCOMPARE(qm::readPrintCopies(path), qint16(1));
    QCOMPARE(qm::readNullKeyCode(path), qint16(127));

    folder.writeSettings(u"[system]\r\nkeynull = \"8\"\r\n[ACTNUMBER]\r\nQUAN = '3 копии'\r\n"_s);
    QCOMPARE(qm::readPrintCopies(path), qint16(3));
    QCOMPARE(qm::readNullKeyCode(path), qint16(8));

    // Present but empty is not missing: no default steps in.
    folder.writeSettings(u"[ActNumber]\r\nQuan=\r\n[System]\r\nKeyNull=\r\n"_s);
    QCOMPARE(qm::readPrintCopies(path), qint16(0));
    QVERIFY_THROWS_EXCEPTION(qm::Failure, qm::readNullKeyCode(path));
}

QTEST_GUILESS_MAIN(SettingsNumbersTest)
#include "test_settings_numbers.moc"
