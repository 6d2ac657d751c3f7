// «Открыть PDF» in the archive window's line menu: offered for the act whose
// copy lies in "Акты" under the name the print command gave it, handed to the
// desktop's viewer, greyed when the copy is missing.

#include "archive_test_fixture.h"

#include "app/archive_window/form2.h"
#include "common/act_files.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QMenu>
#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

// Opens the menu of one line the way a right-click does and gives its
// «Открыть PDF» action, nullptr when the menu did not open or lacks it.
QAction *openPdfActionOfLine(Form2 &window, int row)
{
    QListView *list = window.lBase();
    const QPoint point = list->visualRect(list->model()->index(row, 0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, list->viewport()->mapToGlobal(point));
    QApplication::sendEvent(list->viewport(), &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (menu == nullptr)
        return nullptr;
    const QList<QAction *> actions = menu->actions();
    const auto found = std::find_if(actions.begin(), actions.end(),
                                    [](const QAction *action) { return action->text() == u"Открыть PDF"_s; });
    return found == actions.end() ? nullptr : *found;
}

void closeMenu()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

}  // namespace

class ArchiveActPdfTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void menuOpensTheLinesOwnCopy();
};

void ArchiveActPdfTest::menuOpensTheLinesOwnCopy()
{
    ArchiveWorld world;
    world.append({sampleRow(1), sampleRow(2), sampleRow(3)});
    {
        // Record 1 deleted: the lines' positions and the records' numbers in
        // the file part, as they do in an archive in use.
        const auto records = world.archive.open(ArchiveAccess::Writable);
        records->deleteCurrent();
        records->update();
        records->close();
    }
    // Acts 2 and 3 are records 2 and 3, shown on lines 0 and 1. Act 3 has no copy;
    // a copy of act 2 under the number of its line stands as a trap.
    const QString folder = actPdfFolder(world.folder.path());
    QVERIFY(QDir().mkpath(folder));
    const QString copyOfAct2 = folder + u'/' + actPdfFileName(QDate(2012, 2, 2), u"ООО Ромашка-2"_s, u"Z2"_s, 2);
    for (const QString &path :
         {copyOfAct2, folder + u'/' + actPdfFileName(QDate(2012, 2, 2), u"ООО Ромашка-2"_s, u"Z2"_s, 1)}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4\n");
    }

    Form2 window(world.context());
    QVERIFY(window.Form_Load());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect geometry = window.geometry();

    QAction *open = openPdfActionOfLine(window, 0);
    QVERIFY(open);
    QVERIFY(open->isEnabled());
    open->trigger();
    closeMenu();
    QCOMPARE(world.prompts.openedDocuments, QStringList{copyOfAct2});
    QVERIFY(world.prompts.messages.isEmpty());
    QCOMPARE(window.geometry(), geometry);
    QVERIFY(window.isVisible());

    open = openPdfActionOfLine(window, 1);
    QVERIFY(open);
    QVERIFY(!open->isEnabled());
    closeMenu();

    // A desktop without a PDF viewer: the mechanic is told, with a number.
    world.prompts.viewerStarts = false;
    open = openPdfActionOfLine(window, 0);
    QVERIFY(open);
    open->trigger();
    closeMenu();
    QCOMPARE(world.prompts.messages.size(), 1);
    QVERIFY(world.prompts.messages.constFirst().text.startsWith(u"Ошибка 75"_s));
    QVERIFY(world.prompts.messages.constFirst().text.contains(QDir::toNativeSeparators(copyOfAct2)));
}

}  // namespace qm::test

QTEST_MAIN(qm::test::ArchiveActPdfTest)
#include "test_archive_act_pdf.moc"
