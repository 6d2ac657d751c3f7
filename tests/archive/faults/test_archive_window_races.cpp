// The real archive window open while another copy of the program (the helper
// qm_act_saver, a separate process on the same folder) deletes and saves
// acts: «Выбрать» and «Удалить запись» act on the record the line showed, or
// on nothing.

#include "act_saver_process.h"
#include "archive_test_fixture.h"

#include "app/archive_window/form2.h"

#include <QListView>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

// Runs the other copy to its end and checks that it did what it was asked.
void otherCopy(const QStringList &arguments, const QString &reported)
{
    ActSaverProcess other(arguments);
    const QStringList lines = other.finish();
    QVERIFY2(other.exitedNormally(), qPrintable(other.errorOutput()));
    QCOMPARE(lines, QStringList{reported});
}

}  // namespace

class ArchiveWindowRacesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void recallAfterAnEarlierRecordWasDeletedBringsTheLinesOwnAct();
    void recallOfARecordDeletedElsewhereIsRefused();
    void deletionAfterAnIdenticalLineWasReprintedElsewhereDeletesNothing();
};

void ArchiveWindowRacesTest::recallAfterAnEarlierRecordWasDeletedBringsTheLinesOwnAct()
{
    ArchiveWorld world;
    world.append({sampleRow(1), sampleRow(2), sampleRow(3), sampleRow(4)});
    OpenWindow open(world);
    QVERIFY(open.loaded);
    clickLine(open.window.lBase(), 2);

    otherCopy({u"delete"_s, world.folder.path(), u"0"_s}, u"deleted"_s);

    QTest::mouseClick(open.window.bSelect(), Qt::LeftButton);
    QVERIFY(world.prompts.messages.isEmpty());
    QVERIFY(world.actWindow.recalled);
    QCOMPARE(world.actWindow.recalled->texts, rowTexts(sampleRow(3)));
    QCOMPARE(world.actWindow.recalled->mechanic, u"Механик 3"_s);
}

void ArchiveWindowRacesTest::recallOfARecordDeletedElsewhereIsRefused()
{
    ArchiveWorld world;
    world.append({sampleRow(1), sampleRow(2), sampleRow(3), sampleRow(4)});
    OpenWindow open(world);
    clickLine(open.window.lBase(), 2);

    otherCopy({u"delete"_s, world.folder.path(), u"2"_s}, u"deleted"_s);

    QTest::mouseClick(open.window.bSelect(), Qt::LeftButton);
    QVERIFY(!world.actWindow.recalled);
    QCOMPARE(world.prompts.messages.size(), 1);
    const QString warning = world.prompts.messages.constFirst().text;
    QVERIFY2(warning.contains(u"изменён другой копией"_s) && warning.contains(u"Акт не вызван"_s), qPrintable(warning));
    QVERIFY(open.window.isVisible());
    QCOMPARE(lineTexts(open.window.lBase()), world.listLines());
    QCOMPARE(world.actWindow.lastCount(), 3);
}

void ArchiveWindowRacesTest::deletionAfterAnIdenticalLineWasReprintedElsewhereDeletesNothing()
{
    ArchiveWorld world;
    // The first two lines are identical (a reprint); only the mechanic tells them apart.
    world.append({sampleRow(1), withField(sampleRow(1), ArchiveField::MECHNAME, u"Механик 2"_s), sampleRow(3)});
    OpenWindow open(world);
    clickLine(open.window.lBase(), 0);

    // The other copy deletes the selected act and reprints the identical one:
    // the count and the line at that position are as they were.
    otherCopy({u"delete"_s, world.folder.path(), u"0"_s}, u"deleted"_s);
    otherCopy({u"copy"_s, world.folder.path(), u"0"_s}, u"copied"_s);
    const QList<QVariant> mechanics = world.column(ArchiveField::MECHNAME);
    QCOMPARE(mechanics.size(), 3);

    world.prompts.answer(PromptAnswer::Yes);
    QTest::mouseClick(open.window.bDeleteRecord(), Qt::LeftButton);

    QCOMPARE(world.column(ArchiveField::MECHNAME), mechanics);
    QVERIFY(!world.actWindow.texts);
    QCOMPARE(world.prompts.messages.size(), 2);
    QVERIFY2(world.prompts.messages.constLast().text.contains(u"Запись не удалена"_s),
             qPrintable(world.prompts.messages.constLast().text));
    QCOMPARE(lineTexts(open.window.lBase()), world.listLines());
}

}  // namespace qm::test

QTEST_MAIN(qm::test::ArchiveWindowRacesTest)
#include "test_archive_window_races.moc"
