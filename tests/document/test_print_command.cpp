#include "archive/archive_table.h"
#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "common/failure.h"
#include "document/print_command.h"
#include "common/act_files.h"
#include "recording_spreadsheet.h"
#include "support/log_capture.h"
#include "support/scripted_prompts.h"
#include "support/temp_program_folder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace qm::test {

// One print command run against a recording spreadsheet, scripted prompts and
// a real archive in a temporary program folder.
struct PrintFixture {
    PrintFixture()
    {
        createEmptyArchive(folder.filePath(u"QM.dbf"_s));
        folder.writeFile(u"Quillmarch.xls"_s, "template");
        values.programFolder = folder.path();
        values.PrintCopies = 2;
        act.operationType = u"Заполнение ЭКЛЗ"_s;
        act.serialNumber = u"123"_s;
        act.customer = u"ООО «Ромашка»"_s;
        act.date = QDateTime(QDate(2026, 12, 7), QTime(10, 0));
    }

    void run()
    {
        PrintCommandWindow window{[this] { return act; }, [this](qint64 count) { shownCount = count; }};
        PrintCommand command(std::move(window), values, prompts, spreadsheet, archive);
        command.run();
    }

    int archivedActs() { return CountArchiveRecords(archive); }

    QString templateBesideProgram() const { return folder.filePath(u"Quillmarch.xls"_s); }

    QString pdfOfRecord(quint32 record) const
    {
        return actPdfFolder(folder.path()) + u'/' + actPdfFileName(act.date.date(), act.customer, act.serialNumber, record);
    }

    TempProgramFolder folder;
    ActData act;
    std::optional<qint64> shownCount;
    ProgramValues values;
    ScriptedPrompts prompts;
    RecordingSpreadsheet spreadsheet;
    DbfArchive archive{folder.path()};
};

QStringList withoutCells(const QStringList &log)
{
    QStringList calls;
    for (const QString &line : log)
        if (!line.contains(u":cell "_s) && !line.contains(u":pdf "_s))
            calls.append(line);
    return calls;
}

class PrintCommandTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void templateBesideTheProgram()
    {
        PrintFixture f;
        f.run();
        QVERIFY(f.prompts.fileDialogs.isEmpty());
        QCOMPARE(withoutCells(f.spreadsheet.log),
                 (QStringList{u"1:start"_s, u"1:sheets 1"_s, u"1:add "_s + f.templateBesideProgram(), u"1:sheet"_s,
                              u"1:print 2"_s, u"1:visible"_s, u"1:release"_s}));
        QCOMPARE(f.prompts.messages.size(), 1);
        const MessageRequest &question = f.prompts.messages[0];
        QCOMPARE(question.title, u"Sheetsmith"_s);
        QCOMPARE(question.text, u"Печатать сразу   2 копии ?"_s);
        QCOMPARE(question.buttons, PromptButtons::YesNo);
        QCOMPARE(question.defaultButton, PromptAnswer::Yes);
        QCOMPARE(question.icon, PromptIcon::None);
        QCOMPARE(f.archivedActs(), 1);
        QCOMPARE(f.shownCount, 1);
    }

    void printQuestionKeepsTheSignPosition()
    {
        QCOMPARE(PrintCommand::printQuestion(1), u"Печатать сразу   1 копии ?"_s);
        QCOMPARE(PrintCommand::printQuestion(0), u"Печатать сразу   0 копии ?"_s);
        QCOMPARE(PrintCommand::printQuestion(-3), u"Печатать сразу  -3 копии ?"_s);
    }

    void missingTemplateIsAskedForEveryRun()
    {
        PrintFixture f;
        QFile::remove(f.templateBesideProgram());
        f.folder.writeFile(u"chosen.xls"_s, "t");
        const QString chosen = f.folder.filePath(u"chosen.xls"_s);
        f.prompts.chooseFile(chosen);
        f.prompts.chooseFile(chosen);
        f.run();
        f.run();
        QCOMPARE(f.prompts.fileDialogs.size(), 2);
        const OpenFileRequest &dialog = f.prompts.fileDialogs[0];
        QCOMPARE(dialog.title, u"Укажите местонахождение шаблона заключения"_s);
        QCOMPARE(dialog.filter, u"Шаблон акта|Quillmarch.xls"_s);
        QCOMPARE(dialog.fileName, QString());
        QVERIFY(f.spreadsheet.log.contains(u"1:add "_s + chosen));
        QVERIFY(f.spreadsheet.log.contains(u"2:add "_s + chosen));
        QCOMPARE(f.archivedActs(), 2);
    }

    void cancelEndsTheCommandWithNothingDone()
    {
        PrintFixture f;
        QFile::remove(f.templateBesideProgram());
        f.run();
        QCOMPARE(f.prompts.fileDialogs.size(), 1);
        QVERIFY(f.prompts.messages.isEmpty());
        QVERIFY(f.spreadsheet.log.isEmpty());
        QCOMPARE(f.archivedActs(), 0);
    }

    void cancelAfterPuttingTheTemplateInPlaceGoesOn()
    {
        PrintFixture f;
        QFile::remove(f.templateBesideProgram());
        f.prompts.whileFileDialogOpen = [&f] { f.folder.writeFile(u"Quillmarch.xls"_s, "t"); };
        f.run();
        QVERIFY(f.spreadsheet.log.contains(u"1:add "_s + f.templateBesideProgram()));
        QCOMPARE(f.archivedActs(), 1);
    }

    void noOperationTypeWarnsAndGoesOn()
    {
        PrintFixture f;
        f.act.operationType.reset();
        f.run();
        QCOMPARE(f.prompts.messages.size(), 2);
        const MessageRequest &warning = f.prompts.messages[0];
        QCOMPARE(warning.text, u"Выберите тип операции"_s);
        QCOMPARE(warning.title, u"Quillmarch"_s);
        QCOMPARE(warning.icon, PromptIcon::Critical);
        QCOMPARE(warning.buttons, PromptButtons::Ok);
        QCOMPARE(f.spreadsheet.workbooks.value(u"1:1"_s).value(u"D17"_s), QString());
        QVERIFY(f.spreadsheet.log.contains(u"1:visible"_s));
        QCOMPARE(f.archivedActs(), 1);
    }

    void answeringNoStillShowsAndArchives()
    {
        PrintFixture f;
        f.prompts.answer(PromptAnswer::No);
        f.run();
        QVERIFY(!f.spreadsheet.log.join(u'\n').contains(u":print"_s));
        QVERIFY(f.spreadsheet.log.contains(u"1:visible"_s));
        QCOMPARE(f.archivedActs(), 1);
    }

    void retryRunsOnlyTheFailedStep_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("skip");
        QTest::addColumn<QStringList>("expected");
        const QString add = u"1:add "_s;
        QTest::newRow("start") << u"start"_s << 0
            << QStringList{u"1:start"_s, u"1:sheets 1"_s, add, u"1:sheet"_s, u"1:print 2"_s, u"1:visible"_s, u"1:release"_s};
        QTest::newRow("template") << u"add"_s << 0
            << QStringList{u"1:start"_s, u"1:sheets 1"_s, u"1:sheets 1"_s, add, u"1:sheet"_s, u"1:print 2"_s,
                           u"1:visible"_s, u"1:release"_s};
        QTest::newRow("a cell: the whole fill again") << u"cell"_s << 5
            << QStringList{u"1:start"_s, u"1:sheets 1"_s, add, u"1:sheet"_s, u"1:sheets 1"_s, add, u"1:sheet"_s,
                           u"1:print 2"_s, u"1:visible"_s, u"1:release"_s};
        QTest::newRow("print") << u"print"_s << 0
            << QStringList{u"1:start"_s, u"1:sheets 1"_s, add, u"1:sheet"_s, u"1:print 2"_s, u"1:visible"_s, u"1:release"_s};
        QTest::newRow("show") << u"visible"_s << 0
            << QStringList{u"1:start"_s, u"1:sheets 1"_s, add, u"1:sheet"_s, u"1:print 2"_s, u"1:visible"_s, u"1:release"_s};
    }

    void retryRunsOnlyTheFailedStep()
    {
        QFETCH(QString, operation);
        QFETCH(int, skip);
        QFETCH(QStringList, expected);
        PrintFixture f;
        f.spreadsheet.failNext(operation, 1004, skip);
        f.prompts.answer(PromptAnswer::Yes);   // repeat
        f.prompts.answer(PromptAnswer::Yes);   // print
        f.run();
        for (QString &line : expected)
            if (line == u"1:add "_s)
                line += f.templateBesideProgram();
        QCOMPARE(withoutCells(f.spreadsheet.log), expected);
        const auto failures = std::count_if(f.prompts.messages.cbegin(), f.prompts.messages.cend(),
                                            [](const MessageRequest &m) { return m.title == u"Quillmarch"_s; });
        QCOMPARE(failures, 1);
        const MessageRequest &failure = operation == u"print"_s || operation == u"visible"_s
            ? f.prompts.messages[1] : f.prompts.messages[0];
        QCOMPARE(failure.text, u"1004 : Сбой по сценарию теста: "_s + operation + u"\r\nПовторить ?"_s);
        QCOMPARE(failure.title, u"Quillmarch"_s);
        QCOMPARE(failure.buttons, PromptButtons::YesNo);
        QCOMPARE(failure.icon, PromptIcon::None);
        QCOMPARE(f.archivedActs(), 1);
    }

    void partlyFilledWorkbookStaysAndTheNewOneIsComplete()
    {
        PrintFixture f;
        f.spreadsheet.failNext(u"cell"_s, 1004, 5);
        f.prompts.answer(PromptAnswer::Yes);
        f.run();
        QCOMPARE(f.spreadsheet.workbooks.value(u"1:1"_s).size(), 5);
        QCOMPARE(f.spreadsheet.workbooks.value(u"1:2"_s).size(), 37);
    }

    void answeringNoBeforeShowingEndsWithNothingShownOrArchived_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QList<PromptAnswer>>("answers");
        QTest::newRow("start") << u"start"_s << QList<PromptAnswer>{PromptAnswer::No};
        QTest::newRow("fill") << u"cell"_s << QList<PromptAnswer>{PromptAnswer::No};
        QTest::newRow("print") << u"print"_s << QList<PromptAnswer>{PromptAnswer::Yes, PromptAnswer::No};
        QTest::newRow("show") << u"visible"_s << QList<PromptAnswer>{PromptAnswer::Yes, PromptAnswer::No};
    }

    void answeringNoBeforeShowingEndsWithNothingShownOrArchived()
    {
        QFETCH(QString, operation);
        QFETCH(QList<PromptAnswer>, answers);
        PrintFixture f;
        f.spreadsheet.failNext(operation, 462);
        for (PromptAnswer answer : answers)
            f.prompts.answer(answer);
        f.run();
        QCOMPARE(f.prompts.messages.size(), answers.size());
        QVERIFY(!f.spreadsheet.log.contains(u"1:visible"_s));
        QCOMPARE(f.archivedActs(), 0);
        if (f.spreadsheet.instancesStarted > 0)
            QCOMPARE(f.spreadsheet.log.last(), u"1:release"_s);
    }

    void badTemplatePathEndsWithoutRetry()
    {
        PrintFixture f;
        f.spreadsheet.failNext(u"add"_s, 5152);
        f.run();
        QCOMPARE(f.prompts.messages.size(), 1);
        const MessageRequest &message = f.prompts.messages[0];
        QCOMPARE(message.title, u"Глюк !"_s);
        QCOMPARE(message.text, u"Каталог недоступен или неверное имя файла. Проверьте правильность пути ! \r\n\r\n"_s);
        QCOMPARE(message.buttons, PromptButtons::Ok);
        QCOMPARE(message.icon, PromptIcon::None);
        QCOMPARE(f.spreadsheet.log.last(), u"1:release"_s);
        QCOMPARE(f.archivedActs(), 0);
    }

    void officeGoneAwayIsRestartedOnRetry()
    {
        PrintFixture f;
        f.spreadsheet.failNext(u"print"_s, 462);
        f.prompts.answer(PromptAnswer::Yes);   // print
        f.prompts.answer(PromptAnswer::Yes);   // repeat
        f.prompts.answer(PromptAnswer::Yes);   // print, in the new instance
        f.run();
        QCOMPARE(f.spreadsheet.instancesStarted, 2);
        QVERIFY(f.spreadsheet.log.contains(u"1:release"_s));
        QCOMPARE(f.spreadsheet.workbooks.value(u"2:1"_s).size(), 37);
        QVERIFY(f.spreadsheet.log.contains(u"2:print 2"_s));
        QVERIFY(f.spreadsheet.log.contains(u"2:visible"_s));
        QCOMPARE(f.archivedActs(), 1);
    }

    void fewerThanOneCopyIsAFailureNotASilentPrint()
    {
        PrintFixture f;
        f.values.PrintCopies = 0;
        f.prompts.answer(PromptAnswer::Yes);   // print
        f.prompts.answer(PromptAnswer::No);    // do not repeat
        f.run();
        QVERIFY(!f.spreadsheet.log.join(u'\n').contains(u":print"_s));
        QVERIFY(f.prompts.messages[1].text.startsWith(u"1004 : "_s));
        QVERIFY(f.prompts.messages[1].text.contains(u"Quan"_s));
        QCOMPARE(f.archivedActs(), 0);
    }

    void aValueWiderThanAnOldArchiveColumnStopsBeforeAnythingIsPrinted()
    {
        PrintFixture f;
        const QString dbf = f.folder.filePath(u"QM.dbf"_s);
        std::vector<DbfField> oldColumns = archiveFieldLayout();
        for (DbfField &field : oldColumns)
            if (field.name == ArchiveField::MECHNAME)
                field.width = 60;
        QVERIFY(QFile::remove(dbf));
        createEmptyArchive(dbf, oldColumns);
        f.act.mechanic = QString(61, u'Щ');

        f.run();
        QCOMPARE(f.prompts.messages.size(), 1);
        const MessageRequest &refusal = f.prompts.messages[0];
        QCOMPARE(refusal.buttons, PromptButtons::Ok);
        QVERIFY2(refusal.text.startsWith(u"3163 : "_s) && refusal.text.contains(u"«Механик» (61 знаков)"_s)
                     && refusal.text.contains(u"MECHNAME"_s) && refusal.text.contains(u"шириной 60"_s),
                 qPrintable(refusal.text));
        QVERIFY(f.spreadsheet.log.isEmpty());
        QCOMPARE(f.archivedActs(), 0);

        // A new archive has room for the longest name the settings can give.
        QVERIFY(QFile::remove(dbf));
        createEmptyArchive(dbf);
        f.act.mechanic = QString(254, u'Щ');
        f.prompts.answer(PromptAnswer::No);
        f.run();
        QCOMPARE(f.archivedActs(), 1);
    }

    // Ended early, the command leaves no hidden workbook behind; shown, the
    // workbooks are the mechanic's and stay.
    void commandEndedEarlyClosesWhatItNeverShowed_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QList<PromptAnswer>>("answers");
        QTest::addColumn<bool>("closed");
        QTest::newRow("«Нет» to a failed fill") << u"cell"_s << QList<PromptAnswer>{PromptAnswer::No} << true;
        QTest::newRow("«Нет» to a failed print")
            << u"print"_s << QList<PromptAnswer>{PromptAnswer::Yes, PromptAnswer::No} << true;
        QTest::newRow("a failed start") << u"start"_s << QList<PromptAnswer>{PromptAnswer::No} << false;
        QTest::newRow("completed") << QString() << QList<PromptAnswer>{PromptAnswer::No} << false;
    }

    void commandEndedEarlyClosesWhatItNeverShowed()
    {
        QFETCH(QString, operation);
        QFETCH(QList<PromptAnswer>, answers);
        QFETCH(bool, closed);
        PrintFixture f;
        if (!operation.isEmpty())
            f.spreadsheet.failNext(operation, 1004);
        for (PromptAnswer answer : answers)
            f.prompts.answer(answer);
        const LogCapture log;
        f.run();
        QCOMPARE(f.spreadsheet.log.contains(u"1:close unshown"_s), closed);
        if (closed) {
            QCOMPARE(f.spreadsheet.log.last(), u"1:release"_s);
            // The failure shown is in the log with its step and the template, never the act.
            QVERIFY2(log.joined().contains(u"failure 1004 at step \""_s) && log.joined().contains(f.templateBesideProgram()),
                     qPrintable(log.joined()));
            QVERIFY(!log.joined().contains(f.act.customer));
        }
    }

    void pdfCopyOfEveryActNamedAfterItsRecord()
    {
        PrintFixture f;
        f.prompts.answer(PromptAnswer::No);
        f.prompts.answer(PromptAnswer::No);
        f.run();
        f.run();
        QVERIFY(QFile::exists(f.pdfOfRecord(1)));
        QVERIFY(QFile::exists(f.pdfOfRecord(2)));
        // Written under another name first, then renamed: nothing else is left in the folder.
        QCOMPARE(QDir(actPdfFolder(f.folder.path())).entryList(QDir::Files | QDir::Hidden).size(), 2);
        const qsizetype pdf = f.spreadsheet.log.indexOf(QRegularExpression(u"1:pdf .*"_s));
        QVERIFY(pdf > f.spreadsheet.log.indexOf(u"1:visible"_s));

        PrintFixture off;
        off.values.SavePdf = false;
        off.prompts.answer(PromptAnswer::No);
        off.run();
        QVERIFY(!off.spreadsheet.log.join(u'\n').contains(u":pdf"_s));
        QVERIFY(!QFileInfo::exists(actPdfFolder(off.folder.path())));
        QCOMPARE(off.archivedActs(), 1);
    }

    void pdfThatCannotBeWrittenIsToldOnceAndTheActsAreArchived()
    {
        PrintFixture f;
        // The folder for the copies cannot be made: a file stands in its place.
        QFile blocker(actPdfFolder(f.folder.path()));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        f.prompts.answer(PromptAnswer::No);   // print question
        f.prompts.answer(PromptAnswer::Ok);   // the PDF failure
        f.prompts.answer(PromptAnswer::No);   // print question of the second act
        const LogCapture log;
        f.run();
        f.run();
        QCOMPARE(f.archivedActs(), 2);
        QCOMPARE(f.shownCount, 2);
        QStringList told;
        for (const MessageRequest &message : f.prompts.messages)
            if (message.title == u"Quillmarch"_s)
                told << message.text;
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].startsWith(u"75 : "_s) && told[0].contains(u"PDF"_s), qPrintable(told[0]));
        QVERIFY(log.joined().contains(u"failure 75 at step \"SavePdfCopy\""_s));
    }

    void archiveFailureIsRetriedAndStoresTheActOnce()
    {
        PrintFixture f;
        const QString dbf = f.folder.filePath(u"QM.dbf"_s);
        QVERIFY(QFile::rename(dbf, dbf + u".away"_s));
        // The mechanic puts the archive back while the failure is on screen.
        f.prompts.whileMessageShown = [&dbf](const MessageRequest &request) {
            if (request.text.startsWith(u"53 : "_s))
                QFile::rename(dbf + u".away"_s, dbf);
        };
        f.prompts.answer(PromptAnswer::Yes);   // print
        f.prompts.answer(PromptAnswer::Yes);   // repeat the save
        f.run();
        QCOMPARE(f.prompts.messages.size(), 2);
        QVERIFY(f.prompts.messages[1].text.endsWith(u"\r\nПовторить ?"_s));
        QCOMPARE(f.archivedActs(), 1);
        QCOMPARE(f.shownCount, 1);
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::PrintCommandTest)
#include "test_print_command.moc"
