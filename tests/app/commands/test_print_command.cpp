#include "app/commands/print_command.h"
#include "archive/archive_table.h"
#include "archive/dbf_archive.h"
#include "archive/empty_archive.h"
#include "archive_test_helpers.h"
#include "common/act_files.h"
#include "common/failure.h"
#include "recording_spreadsheet.h"
#include "support/log_capture.h"
#include "support/scripted_prompts.h"
#include "support/temp_program_folder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <vector>

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
        PrintCommand command(act, values, prompts, spreadsheet, archive);
        outcome = command.run();
        if (outcome.recordCount)
            shownCount = outcome.recordCount;
        values.pdfFailureShown = outcome.pdfFailureShown;
        values.backupFailureShown = outcome.backupFailureShown;
    }

    void answer(const QList<PromptAnswer> &answers)
    {
        for (PromptAnswer a : answers)
            prompts.answer(a);
    }

    // The template gone from beside the program; the dialog picks another one.
    QString templateChosenElsewhere()
    {
        QFile::remove(templateBesideProgram());
        folder.writeFile(u"chosen.xls"_s, "t");
        return folder.filePath(u"chosen.xls"_s);
    }

    // The texts of the program's own messages, failures and warnings, not the office's question.
    QStringList told() const
    {
        QStringList texts;
        for (const MessageRequest &message : prompts.messages)
            if (message.title == u"Quillmarch"_s)
                texts << message.text;
        return texts;
    }

    int archivedActs() { return CountArchiveRecords(archive); }

    QString dbf() const { return folder.filePath(u"QM.dbf"_s); }
    QString templateBesideProgram() const { return folder.filePath(u"Quillmarch.xls"_s); }

    QString pdfOfRecord(quint32 record) const
    {
        return actPdfFolder(folder.path()) + u'/'
            + actPdfFileName(act.date.date(), act.customer, act.serialNumber, record);
    }

    TempProgramFolder folder;
    ActData act;
    PrintOutcome outcome;  // of the last run
    std::optional<qint64> shownCount;
    ProgramValues values;
    ScriptedPrompts prompts;
    RecordingSpreadsheet spreadsheet;
    // Another workstation's lock is waited for briefly: it is held throughout.
    DbfArchive archive{folder.path(), std::chrono::milliseconds(300)};
};

// Whether anyone, this process included, holds a lock on the file.
bool anyoneLocks(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    struct flock probe {};
    probe.l_type = F_WRLCK;
    const bool locked = fd >= 0 && ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return locked;
}

// The archive made unwritable: by its rights, or for root, who writes
// regardless, by a read-only mount of the folder. Empty when done, else why not.
QString makeUnwritable(const QString &folder, std::optional<QByteArray> &mounted)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::geteuid() != 0)
        return ::chmod((path + "/QM.dbf").constData(), 0444) == 0 ? QString() : u"chmod"_s;
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    mounted = path;
    if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return {};
}

// A message as one comparable line: its title, text, icon and buttons.
QString shown(const MessageRequest &m)
{
    return u"%1 | %2 | icon %3 | buttons %4"_s.arg(m.title, m.text).arg(int(m.icon)).arg(int(m.buttons));
}

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
        QCOMPARE(shown(f.prompts.messages[0]),
                 shown({u"Sheetsmith"_s, u"Печатать сразу   2 копии ?"_s, PromptIcon::None, PromptButtons::YesNo}));
        QCOMPARE(f.prompts.messages[0].defaultButton, PromptAnswer::Yes);
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
        const QString chosen = f.templateChosenElsewhere();
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

        // The file chosen before is not kept: once the template is back
        // beside the program, the next run takes it without asking.
        f.folder.writeFile(u"Quillmarch.xls"_s, "template");
        f.run();
        QCOMPARE(f.prompts.fileDialogs.size(), 2);
        QVERIFY(f.spreadsheet.log.contains(u"3:add "_s + f.templateBesideProgram()));
        QCOMPARE(f.outcome.recordCount, 3);
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
        QCOMPARE(shown(f.prompts.messages[0]),
                 shown({u"Quillmarch"_s, u"Выберите тип операции"_s, PromptIcon::Critical, PromptButtons::Ok}));
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
        const QStringList once{u"1:start"_s,   u"1:sheets 1"_s, add,           u"1:sheet"_s,
                               u"1:print 2"_s, u"1:visible"_s,  u"1:release"_s};
        QTest::newRow("start") << u"start"_s << 0 << once;
        QTest::newRow("template") << u"add"_s << 0
                                  << QStringList{u"1:start"_s, u"1:sheets 1"_s, u"1:sheets 1"_s, add,
                                                 u"1:sheet"_s, u"1:print 2"_s,  u"1:visible"_s,  u"1:release"_s};
        QTest::newRow("a cell: the whole fill again")
            << u"cell"_s << 5 << QStringList{u"1:start"_s,  u"1:sheets 1"_s, add,
                                             u"1:sheet"_s,  u"1:sheets 1"_s, add,
                                             u"1:sheet"_s,  u"1:print 2"_s,  u"1:visible"_s,
                                             u"1:release"_s};
        QTest::newRow("print") << u"print"_s << 0 << once;
        QTest::newRow("show") << u"visible"_s << 0 << once;
    }

    void retryRunsOnlyTheFailedStep()
    {
        QFETCH(QString, operation);
        QFETCH(int, skip);
        QFETCH(QStringList, expected);
        PrintFixture f;
        f.spreadsheet.failNext(operation, 1004, skip);
        f.answer({PromptAnswer::Yes, PromptAnswer::Yes});  // repeat, print
        f.run();
        for (QString &line : expected)
            if (line == u"1:add "_s)
                line += f.templateBesideProgram();
        QCOMPARE(withoutCells(f.spreadsheet.log), expected);
        QCOMPARE(f.told().size(), 1);
        const MessageRequest &failure
            = operation == u"print"_s || operation == u"visible"_s ? f.prompts.messages[1] : f.prompts.messages[0];
        QCOMPARE(shown(failure),
                 shown({u"Quillmarch"_s, u"1004 : Сбой по сценарию теста: "_s + operation + u"\r\nПовторить ?"_s,
                        PromptIcon::None, PromptButtons::YesNo}));
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
        f.answer(answers);
        f.run();
        QCOMPARE(f.prompts.messages.size(), answers.size());
        QVERIFY(!f.spreadsheet.log.contains(u"1:visible"_s));
        QCOMPARE(f.archivedActs(), 0);
        QVERIFY(!f.outcome.recordCount);
        if (f.spreadsheet.instancesStarted > 0)
            QCOMPARE(f.spreadsheet.log.last(), u"1:release"_s);
    }

    void badTemplatePathEndsWithoutRetry()
    {
        PrintFixture f;
        f.spreadsheet.failNext(u"add"_s, 5152);
        f.run();
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(
            shown(f.prompts.messages[0]),
            shown({u"Глюк !"_s, u"Каталог недоступен или неверное имя файла. Проверьте правильность пути ! \r\n\r\n"_s,
                   PromptIcon::None, PromptButtons::Ok}));
        QCOMPARE(f.spreadsheet.log.last(), u"1:release"_s);
        QCOMPARE(f.archivedActs(), 0);
    }

    void officeGoneAwayIsRestartedOnRetry()
    {
        PrintFixture f;
        f.spreadsheet.failNext(u"print"_s, 462);
        f.answer(
            {PromptAnswer::Yes, PromptAnswer::Yes, PromptAnswer::Yes});  // print, repeat, print in the new instance
        f.run();
        QCOMPARE(f.spreadsheet.instancesStarted, 2);
        QVERIFY(f.spreadsheet.log.contains(u"1:release"_s));
        QCOMPARE(f.spreadsheet.workbooks.value(u"2:1"_s).size(), 37);
        QVERIFY(f.spreadsheet.log.contains(u"2:print 2"_s));
        QVERIFY(f.spreadsheet.log.contains(u"2:visible"_s));
        QCOMPARE(f.archivedActs(), 1);
    }

    // Fewer than one copy cannot be printed, and asking again cannot change
    // the settings: told once, the act is still shown and archived.
    void fewerThanOneCopyIsToldOnceAndTheActIsShownAndArchived()
    {
        PrintFixture f;
        f.values.PrintCopies = 0;
        f.answer({PromptAnswer::Yes, PromptAnswer::No});  // print, and No, were it asked, to printing again
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^failure 1004 at step \"print\""_s));
        f.run();
        QCOMPARE(f.prompts.messages.size(), 2);
        QVERIFY(f.prompts.messages[1].text.startsWith(u"1004 : Число копий для печати (0) должно быть не меньше 1."_s));
        QCOMPARE(f.prompts.messages[1].buttons, PromptButtons::Ok);
        QCOMPARE(withoutCells(f.spreadsheet.log).mid(4), (QStringList{u"1:visible"_s, u"1:release"_s}));
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
        f.answer(answers);
        const LogCapture log;
        f.run();
        QCOMPARE(f.spreadsheet.log.contains(u"1:close unshown"_s), closed);
        if (closed) {
            QCOMPARE(f.spreadsheet.log.last(), u"1:release"_s);
            // The failure shown is in the log with its step and the template, never the act.
            QVERIFY2(log.joined().contains(u"failure 1004 at step \""_s)
                         && log.joined().contains(f.templateBesideProgram()),
                     qPrintable(log.joined()));
            QVERIFY(!log.joined().contains(f.act.customer));
        }
    }

    void pdfCopyOfEveryActNamedAfterItsRecord()
    {
        PrintFixture f;
        f.answer({PromptAnswer::No, PromptAnswer::No});
        f.run();
        f.run();
        QVERIFY(QFile::exists(f.pdfOfRecord(1)));
        QVERIFY(QFile::exists(f.pdfOfRecord(2)));
        // Written under another name first, then renamed: nothing else is left in the folder.
        QCOMPARE(QDir(actPdfFolder(f.folder.path())).entryList(QDir::Files | QDir::Hidden).size(), 2);
        const qsizetype pdf = f.spreadsheet.log.indexOf(QRegularExpression(u"1:pdf .*"_s));
        QVERIFY(pdf > f.spreadsheet.log.indexOf(u"1:visible"_s));

        // A copy already under the next record's name (an older archive put
        // back) is another act's: kept aside, never overwritten.
        const QString earlier = f.pdfOfRecord(3);
        f.folder.writeFile(earlier.mid(f.folder.path().size() + 1), "earlier act");
        f.prompts.answer(PromptAnswer::No);
        f.run();
        QFile aside(earlier.chopped(4) + u" (прежняя копия).pdf"_s);
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), QByteArray("earlier act"));
        QFile current(earlier);
        QVERIFY(current.open(QIODevice::ReadOnly));
        QVERIFY(current.readAll().startsWith("%PDF"));

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
        f.answer({PromptAnswer::No, PromptAnswer::Ok, PromptAnswer::No});  // print, the PDF failure, print again
        const LogCapture log;
        f.run();
        f.run();
        QCOMPARE(f.archivedActs(), 2);
        QCOMPARE(f.shownCount, 2);
        const QStringList told = f.told();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].startsWith(u"75 : "_s) && told[0].contains(u"PDF"_s), qPrintable(told[0]));
        QVERIFY(log.joined().contains(u"failure 75 at step \"PDF copy\""_s));
    }

    // Whatever the save would refuse stops the command first, before any
    // question about the act: one numbered message, OK only, naming the field
    // as the window labels it and the reason; nothing started or archived,
    // and the archive not locked while the message waits. The same archive
    // takes the act once the field is corrected.
    void whatTheSaveWouldRefuseStopsTheCommandFirst_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("values");  // refused, corrected
        QTest::addColumn<QString>("named");
        const QString fixtures = u"archive/"_s;
        QTest::newRow("guillemets, code page 866")
            << fixtures + u"xbase_cp866.dbf"_s << u"customer"_s << QStringList{u"ООО «Ромашка»"_s, u"ООО \"Ромашка\""_s}
            << u"13 : Поле «Заказчик» нельзя сохранить в "
               "архиве. Символы « (U+00AB), » (U+00BB) нельзя записать в поле NAMEORG"_s;
        QTest::newRow("accent, Windows-1251")
            << QString() << u"customer"_s << QStringList{u"Nestlé"_s, u"Nestle"_s}
            << u"13 : Поле «Заказчик» нельзя сохранить в архиве. Символ é (U+00E9) нельзя"_s;
        QTest::newRow("Kazakh, Windows-1251")
            << QString() << u"customer"_s << QStringList{u"Әлем"_s, u"Алем"_s}
            << u"13 : Поле «Заказчик» нельзя сохранить в архиве. Символ Ә (U+04D8) нельзя"_s;
        QTest::newRow("empty year, number column")
            << fixtures + u"xbase_number_columns.dbf"_s << u"year"_s << QStringList{QString(), u"2005"_s}
            << u"13 : Поле «Год вып.» нельзя сохранить в архиве. Несоответствие типа: поле GODVYP"_s;
        QTest::newRow("too long for an old column")
            << u"MECHNAME 60"_s << u"mechanic"_s << QStringList{QString(61, u'Щ'), QString(60, u'Щ')}
            << u"3163 : Поле «Механик» нельзя сохранить в архиве. Значение длиной 61"_s;
        QTest::newRow("column missing")
            << u"no PRICHINA"_s << QString() << QStringList()
            << u"3265 : Поле «Вид операции» нельзя сохранить в архиве. Поле PRICHINA не найдено"_s;
        QTest::newRow("damaged") << u"damaged"_s << QString() << QStringList() << u"3049 : Файл архива "_s;
        QTest::newRow("read-only") << u"read-only"_s << QString() << QStringList() << u"70 : Нет доступа"_s;
    }

    void whatTheSaveWouldRefuseStopsTheCommandFirst()
    {
        QFETCH(QString, archive);
        QFETCH(QString, field);
        QFETCH(QStringList, values);
        QFETCH(QString, named);
        PrintFixture f;
        const QString dbf = f.dbf();
        std::vector<DbfField> columns = archiveFieldLayout();
        for (DbfField &column : columns)
            column.width = column.name == ArchiveField::MECHNAME ? 60 : column.width;
        std::erase_if(columns, [&](const DbfField &c) {
            return archive == u"no PRICHINA"_s && c.name == ArchiveField::PRICHINA;
        });
        if (archive.startsWith(u"archive/"_s)) {
            f.folder.copyFixture(archive, u"QM.dbf"_s);
        } else if (archive == u"MECHNAME 60"_s || archive == u"no PRICHINA"_s) {
            QFile::remove(dbf);
            createEmptyArchive(dbf, columns);
        } else if (archive == u"damaged"_s) {
            writeFileBytes(dbf, QByteArray(64, '\xff'));
        }
        std::optional<QByteArray> mounted;
        const auto unmount = qScopeGuard([&] {
            if (mounted)
                ::umount2(mounted->constData(), MNT_DETACH);
        });
        if (archive == u"read-only"_s) {
            const QString whyNot = makeUnwritable(f.folder.path(), mounted);
            if (!whyNot.isEmpty())
                QSKIP(qPrintable(u"the archive cannot be made read-only here: "_s + whyNot));
        }
        const auto setField = [&f, &field](const QString &value) {
            if (field == u"customer"_s)
                f.act.customer = value;
            if (field == u"year"_s)
                f.act.yearMade = value;
            if (field == u"mechanic"_s)
                f.act.mechanic = value;
        };
        setField(values.value(0));
        f.act.inn = u"7707083894"_s;  // would be asked about, as would the missing operation type
        f.act.operationType.reset();
        const QByteArray before = fileBytes(dbf);
        bool lockedWhileShown = true;
        f.prompts.whileMessageShown = [&](const MessageRequest &) { lockedWhileShown = anyoneLocks(dbf); };
        f.prompts.answer(PromptAnswer::No);  // to asking again, were it offered
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^failure \\d+ at step \"dry run of the save\""_s));
        f.run();

        QCOMPARE(f.prompts.order.size(), 1);
        const MessageRequest &refusal = f.prompts.messages[0];
        QVERIFY2(refusal.text.startsWith(named) && refusal.text.endsWith(u" Акт не напечатан и не сохранён."_s),
                 qPrintable(refusal.text));
        QCOMPARE(refusal.buttons, PromptButtons::Ok);
        QVERIFY(!lockedWhileShown);
        QVERIFY(f.spreadsheet.log.isEmpty());
        QCOMPARE(fileBytes(dbf), before);

        if (values.isEmpty())
            return;
        setField(values.value(1));
        f.act.inn = u"7707083893"_s;  // sound, and a number for the archive that keeps it as one
        f.run();
        QCOMPARE(f.archivedActs(), archive.contains(u"xbase"_s) ? 2 : 1);
    }

    // A lock held by another workstation or an archive missing just now may
    // pass: the check is offered again, first; No ends the command.
    void archiveLockedOrMissingAtTheCheckIsOfferedAgain_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<PromptAnswer>("answer");
        QTest::newRow("locked elsewhere, again") << u"3260"_s << PromptAnswer::Yes;
        QTest::newRow("missing, give up") << u"53"_s << PromptAnswer::No;
    }

    void archiveLockedOrMissingAtTheCheckIsOfferedAgain()
    {
        QFETCH(QString, cause);
        QFETCH(PromptAnswer, answer);
        PrintFixture f;
        const QString dbf = f.dbf();
        DbfArchive otherWorkstation(f.folder.path());
        std::unique_ptr<ArchiveRecordSet> othersSave;
        if (cause == u"3260"_s)
            othersSave = otherWorkstation.open(ArchiveAccess::Writable);
        else
            QVERIFY(QFile::rename(dbf, dbf + u".away"_s));
        f.prompts.whileMessageShown = [&](const MessageRequest &) {
            othersSave.reset();
            QFile::rename(dbf + u".away"_s, dbf);
        };
        f.prompts.answer(answer);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^failure "_s + cause + u" at step \"dry run"_s));
        f.run();

        QVERIFY(f.prompts.messages[0].text.startsWith(cause + u" : "_s));
        QVERIFY(f.prompts.messages[0].text.endsWith(u"\r\nПовторить ?"_s));
        QCOMPARE(f.prompts.messages.size(), answer == PromptAnswer::Yes ? 2 : 1);
        QCOMPARE(f.archivedActs(), answer == PromptAnswer::Yes ? 1 : 0);
    }

    // What cannot be known before the save, the archive vanishing after the
    // check, is left to the save and its retry, and the act is stored once.
    void archiveVanishedAfterTheCheckIsRetriedAndStoresTheActOnce()
    {
        PrintFixture f;
        const QString dbf = f.dbf();
        f.prompts.whileMessageShown = [&dbf](const MessageRequest &request) {
            if (request.title == u"Sheetsmith"_s)
                QFile::rename(dbf, dbf + u".away"_s);
            else
                QFile::rename(dbf + u".away"_s, dbf);
        };
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^failure 53 at step \"archive save\""_s));
        f.run();  // Yes to printing and to the retry
        QCOMPARE(f.prompts.messages.size(), 2);
        QVERIFY(f.prompts.messages[1].text.endsWith(u"\r\nПовторить ?"_s));
        QCOMPARE(f.archivedActs(), 1);
        QCOMPARE(f.shownCount, 1);
    }

    // A doubtful ИНН is put to the mechanic before anything is started, and
    // No, the default, ends the command; an empty or sound one is not asked.
    void doubtfulInnIsConfirmedBeforeAnythingIsStarted_data()
    {
        QTest::addColumn<QString>("inn");
        QTest::addColumn<bool>("asked");
        QTest::newRow("sound") << u"500100732259"_s << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("check digit wrong") << u"7707083894"_s << true;
    }

    void doubtfulInnIsConfirmedBeforeAnythingIsStarted()
    {
        QFETCH(QString, inn);
        QFETCH(bool, asked);
        PrintFixture f;
        f.act.inn = inn;
        f.run();  // the default answers
        QCOMPARE(f.prompts.messages[0].title, asked ? u"Quillmarch"_s : u"Sheetsmith"_s);
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.spreadsheet.log.isEmpty(), asked);
        QCOMPARE(f.archivedActs(), asked ? 0 : 1);
    }

    // What the mechanic sees, in order: the ИНН question, the template
    // dialog, the operation-type warning, the print question.
    void questionsComeInTheirOrder()
    {
        PrintFixture f;
        f.act.inn = u"12345"_s;
        f.act.operationType.reset();
        f.prompts.chooseFile(f.templateChosenElsewhere());
        f.prompts.answer(PromptAnswer::Yes);  // print with this ИНН
        f.run();
        QCOMPARE(f.prompts.order,
                 (QStringList{u"message:Quillmarch"_s, u"file:Укажите местонахождение шаблона заключения"_s,
                              u"message:Quillmarch"_s, u"message:Sheetsmith"_s}));
        const MessageRequest &question = f.prompts.messages[0];
        QCOMPARE(question.text, u"ИНН 12345 не проходит проверку. Печатать акт?"_s);
        QCOMPARE(question.buttons, PromptButtons::YesNo);
        QCOMPARE(question.defaultButton, PromptAnswer::No);
        QCOMPARE(column(f.archive, ArchiveField::INN), QStringList{u"12345"_s});
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::PrintCommandTest)
#include "test_print_command.moc"
