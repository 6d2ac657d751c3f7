// While a message of the "Архив" command or the archive window waits for the
// mechanic, another workstation saves its act at once: no message holds the
// archive's lock. The other workstation is a second process (qm_act_saver)
// saving through the program's own code while the message is "on screen".

#include "act_saver_process.h"
#include "app/archive_window/form2.h"
#include "archive_test_fixture.h"

#include <QListView>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

// Every message shown, and whether another process could save an act while
// it was shown (its save gives up after the lock's wait of a few seconds).
struct OtherWorkstation {
    explicit OtherWorkstation(ArchiveWorld &world) : folder(world.folder.path())
    {
        world.prompts.whileMessageShown = [this](const MessageRequest &request) {
            // One act, saved as "<prefix>-1".
            const QString prefix = u"other%1"_s.arg(messages.size() + 1);
            ActSaverProcess other({u"save"_s, folder, prefix, u"1"_s});
            const QStringList saved = other.finish(60000);
            messages.append(request.text);
            savedMeanwhile.append(other.exitedNormally() && saved == QStringList{prefix + u"-1"_s});
            if (!savedMeanwhile.constLast())
                errors += other.errorOutput();
        };
    }

    QString folder;
    QStringList messages;
    QList<bool> savedMeanwhile;
    QString errors;
};

}  // namespace

class ArchiveUnlockedWhileAskingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyArchiveMessages();
    void deletionMessages();
};

void ArchiveUnlockedWhileAskingTest::emptyArchiveMessages()
{
    {
        ArchiveWorld world;
        OtherWorkstation other(world);
        runArchiveCommand(world.context());
        QCOMPARE(other.messages, QStringList{u"Архив пуст"_s});
        QVERIFY2(other.savedMeanwhile.constFirst(), qPrintable(other.errors));
    }
    {
        // The archive was emptied after "Архив" counted it: the list finds nothing.
        ArchiveWorld world;
        OtherWorkstation other(world);
        Form2 window(world.context());
        QVERIFY(!window.Form_Load());
        QCOMPARE(other.messages, QStringList{u"В базе нет записей !"_s});
        QVERIFY2(other.savedMeanwhile.constFirst(), qPrintable(other.errors));
        QCOMPARE(world.recordCount(), 1);
    }
}

void ArchiveUnlockedWhileAskingTest::deletionMessages()
{
    ArchiveWorld world;
    world.append({sampleRow(1), sampleRow(2)});
    Form2 window(world.context());
    QVERIFY(window.Form_Load());
    window.show();
    OtherWorkstation other(world);

    // While the confirmation waits, the other workstation deletes the listed
    // act and then saves one of its own: the deletion is refused with a
    // message of its own, during which a save goes through as well.
    world.prompts.whileMessageShown = [&, save = world.prompts.whileMessageShown](const MessageRequest &request) {
        if (other.messages.isEmpty()) {
            ActSaverProcess deletion({u"delete"_s, world.folder.path(), u"0"_s});
            QCOMPARE(deletion.finish(60000), QStringList{u"deleted"_s});
        }
        save(request);
    };
    clickLine(window.lBase(), 0);
    window.bDeleteRecord()->click();
    QCOMPARE(other.messages.size(), 2);
    QCOMPARE(other.messages.constFirst(), u"Удалить запись ?"_s);
    QVERIFY(other.messages.constLast().contains(u"изменён другой копией программы"_s));
    QCOMPARE(other.savedMeanwhile, QList<bool>({true, true}));
    QCOMPARE(world.recordCount(), 3);
    QCOMPARE(lineTexts(window.lBase()), world.listLines());
}

}  // namespace qm::test

QTEST_MAIN(qm::test::ArchiveUnlockedWhileAskingTest)
#include "test_archive_unlocked_while_asking.moc"
