#include "settings/pick_lists.h"
#include "settings/program_settings.h"

#include "common/windows1251.h"
#include "support/temp_program_folder.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

// The settings file shipped beside the program: a mechanic edits it in a
// Windows editor, so it must be plain Windows-1251 with CRLF lines, and a fresh
// installation must start with usable lists.
class ShippedSettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void isWindows1251WithCrlfLines();
    void givesEveryValue();
};

void ShippedSettingsTest::isWindows1251WithCrlfLines()
{
    QFile file(QStringLiteral(QM_SHIPPED_DATA_DIR) + u"/Quillmarch.ini"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();

    // Every byte must be a Windows-1251 character. A UTF-8 file would pass
    // this too, as mojibake: the names compared below rule that out.
    const QString text = qm::fromWindows1251(bytes);
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
    QCOMPARE(qm::toWindows1251(text).value_or(QByteArray()), bytes);
    QVERIFY(text.contains(u"Tech1=Иванов И.И.\r\n"_s));

    QVERIFY(text.startsWith(u';'));
    QVERIFY(text.endsWith(u"\r\n"_s));
    QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));
}

void ShippedSettingsTest::givesEveryValue()
{
    qm::test::TempProgramFolder folder;
    folder.copyShipped(u"Quillmarch.ini"_s);
    const QString path = folder.filePath(u"Quillmarch.ini"_s);

    QCOMPARE(qm::readPrintCopies(path), qint16(2));
    QCOMPARE(qm::readNullKeyCode(path), qint16(127));

    const qm::PickList mechanics = qm::LoadTechnicians(path);
    QVERIFY(mechanics.items.size() >= 4);
    QCOMPARE(mechanics.items.at(0), u"Иванов И.И."_s);

    const qm::PickList models = qm::LoadKkmModels(path);
    QVERIFY(models.items.size() >= 4);
    QCOMPARE(models.items.at(0), u"ЭЛВЕС-МИКРО-К"_s);
}

QTEST_MAIN(ShippedSettingsTest)
#include "test_shipped_settings.moc"
