#include "settings/ini_file.h"

#include "common/windows1251.h"
#include "support/temp_program_folder.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class IniFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsValuesAsThePlatformLookupDoes_data();
    void readsValuesAsThePlatformLookupDoes();
    void absentOrUnreadableFileGivesDefaults();
    void fileSavedByALinuxEditor_data();
    void fileSavedByALinuxEditor();
};

void IniFileTest::readsValuesAsThePlatformLookupDoes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString dflt = u"<умолчание>"_s;
    const QStringList rows[] = {
        {u"Main"_s, u"Plain"_s, u"простое значение"_s},
        {u"Main"_s, u"Padded"_s, u"с пробелами вокруг"_s},
        {u"MAIN"_s, u"mixed"_s, u"регистр имени ключа"_s},
        {u" Main "_s, u"  Plain "_s, u"простое значение"_s},
        {u"Spaced Section"_s, u"Key"_s, u"раздел с пробелами"_s},
        {u"КИРИЛЛИЦА"_s, u"КЛЮЧ"_s, u"кириллическое имя"_s},
        {u"Main"_s, u"Empty"_s, QString()},
        {u"Main"_s, u"Blank"_s, QString()},
        {u"Main"_s, u"first"_s, u"первое"_s},
        {u"Main"_s, u"OnlyInSecond"_s, dflt},
        {u"Main"_s, u"Commented"_s, dflt},
        {u"Main"_s, u"; Commented"_s, dflt},
        {u"Main"_s, u"NoEquals строка без знака равенства"_s, dflt},
        {u"Main"_s, u"Equation"_s, u"a=b=c"_s},
        {u"Main"_s, u"DoubleQuoted"_s, u"в кавычках"_s},
        {u"Main"_s, u"SingleQuoted"_s, u"в одинарных"_s},
        {u"Main"_s, u"Mismatched"_s, u"\"кавычки разные'"_s},
        {u"Main"_s, u"InnerQuotes"_s, u"он сказал \"да\""_s},
        {u"Main"_s, u"QuotedBlanks"_s, u"  пробелы внутри  "_s},
        {u"Main"_s, u"EmptyQuotes"_s, QString()},
        {u"Main"_s, u"LoneQuote"_s, u"\""_s},
        {u"Main"_s, u"Long"_s, QString(254, u'Ж')},
        {u"Main"_s, u"QuotedLong"_s, QString(254, u'Ж')},
        {u"Main"_s, u"Exact"_s, QString(254, u'Ж')},
        {u"Main"_s, u"Symbols"_s, u"Ёё № «ёлка»"_s},
        {QString(), u"Orphan"_s, dflt},
        {u"Main"_s, u"Nothing"_s, dflt},
        {u"Absent"_s, u"Plain"_s, dflt},
    };
    for (const QString &file : {u"format_crlf.ini"_s, u"format_lf.ini"_s}) {
        for (const QStringList &row : rows) {
            QTest::addRow("%s [%s] %s", qPrintable(file), qPrintable(row[0]), qPrintable(row[1]))
                << QStringLiteral(QM_TEST_DATA_DIR) + u"/settings/"_s + file << row[0] << row[1] << row[2];
        }
    }
}

void IniFileTest::readsValuesAsThePlatformLookupDoes()
{
    QFETCH(QString, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    // The one-off lookup and the parsed file must never disagree: start-up
    // uses one, the loaders the other.
    QCOMPARE(qm::ReadIniValue(file, section, key, u"<умолчание>"_s), expected);
    QCOMPARE(qm::IniFile::load(file).value(section, key, u"<умолчание>"_s), expected);
}

void IniFileTest::absentOrUnreadableFileGivesDefaults()
{
    qm::test::TempProgramFolder folder;
    const QString path = folder.filePath(u"Quillmarch.ini"_s);
    QCOMPARE(qm::ReadIniValue(path, u"ActNumber"_s, u"Quan"_s, u"1"_s), u"1"_s);

    folder.writeFile(u"Quillmarch.ini"_s, QByteArray());
    QCOMPARE(qm::ReadIniValue(path, u"ActNumber"_s, u"Quan"_s, u"1"_s), u"1"_s);

    QVERIFY(QFile::remove(path));
    QVERIFY(QDir(folder.path()).mkdir(u"Quillmarch.ini"_s));
    QCOMPARE(qm::ReadIniValue(path, u"ActNumber"_s, u"Quan"_s, u"1"_s), u"1"_s);
}

// A mechanic's editor on Linux saves UTF-8, often with a byte-order mark in
// front of the first section; Windows-1251 files read as they always did.
void IniFileTest::fileSavedByALinuxEditor_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("tech1");
    QTest::addColumn<QString>("kkm1");

    const QString settings = u"[TechNames]\nTech1=Иванов И.И.\n[KKM]\nKKM1=%1\n"_s;
    const QString longName = QString(150, u'Ж') + QString(150, u'ё');
    const QByteArray mark("\xEF\xBB\xBF");
    QTest::newRow("UTF-8 with the mark") << mark + settings.arg(u"ЭЛВЕС-МИКРО-К"_s).toUtf8() << u"Иванов И.И."_s
                                         << u"ЭЛВЕС-МИКРО-К"_s;
    QTest::newRow("UTF-8 without the mark")
        << settings.arg(u"Меркурий-115Ф"_s).toUtf8() << u"Иванов И.И."_s << u"Меркурий-115Ф"_s;
    QTest::newRow("UTF-8, 300 characters cut to 254")
        << settings.arg(longName).toUtf8() << u"Иванов И.И."_s << longName.left(254);
    QTest::newRow("UTF-8, a character beyond 16 bits is not halved")
        << settings.arg(QString(253, u'Ж') + u"😀"_s).toUtf8() << u"Иванов И.И."_s << QString(253, u'Ж') + u"😀"_s;
    QTest::newRow("mark alone, ASCII") << mark + settings.arg(u"AMC-100K"_s).toUtf8() << u"Иванов И.И."_s
                                       << u"AMC-100K"_s;
    QTest::newRow("Windows-1251") << qm::toWindows1251(settings.arg(u"Ёлка «МИНИ»"_s)).value() << u"Иванов И.И."_s
                                  << u"Ёлка «МИНИ»"_s;
}

void IniFileTest::fileSavedByALinuxEditor()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, tech1);
    QFETCH(QString, kkm1);
    qm::test::TempProgramFolder folder;
    folder.writeFile(u"Quillmarch.ini"_s, bytes);
    const qm::IniFile ini = qm::IniFile::load(folder.filePath(u"Quillmarch.ini"_s));
    QCOMPARE(ini.value(u"TechNames"_s, u"Tech1"_s, u"<умолчание>"_s), tech1);
    QCOMPARE(ini.value(u"KKM"_s, u"KKM1"_s, u"<умолчание>"_s), kkm1);
}

QTEST_GUILESS_MAIN(IniFileTest)
#include "test_ini_file.moc"
