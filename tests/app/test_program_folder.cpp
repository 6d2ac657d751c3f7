#include "app/program/command_line.h"
#include "app/program/program_folder.h"
#include "common/failure.h"
#include "support/scripted_prompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

int failureNumberOf(const ProgramFolderPlaces &places)
{
    try {
        prepareProgramFolder(places);
    } catch (const Failure &failure) {
        return failure.number();
    }
    return 0;
}

}  // namespace

// Where the program's three files live: beside a portable program, in the
// per-user folder of an installed one, or in a folder given on the command line.
class ProgramFolderTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir root_;
    // An installed program's tree: <prefix>/bin and <prefix>/share/quillmarch.
    QString bin() const { return root_.filePath(u"usr/bin"_s); }
    QString shipped(const QString &name) const { return root_.filePath(u"usr/share/quillmarch/"_s + name); }
    QString user() const { return root_.filePath(u"home/.local/share/Quillmarch"_s); }

private Q_SLOTS:
    void init()
    {
        QDir(root_.path()).removeRecursively();
        QDir().mkpath(bin());
        put(shipped(u"Quillmarch.ini"_s), "[ActNumber]\r\nQuan=2\r\n");
        put(shipped(u"Quillmarch.xls"_s), "template");
        put(shipped(u"QM.dbf"_s), "empty archive");
        // As under /usr: nobody's to change.
        for (const QStringView name : kProgramFileNames)
            QFile::setPermissions(shipped(name.toString()), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }

    // A portable copy may lack its settings file: any of its files, or the
    // archive's backups, tell its folder; a stray folder named backup does not.
    void portableWhenAnyOfItsFilesIsBesideTheProgram_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("portable");
        QTest::newRow("settings") << u"Quillmarch.ini"_s << true;
        QTest::newRow("archive alone") << u"QM.dbf"_s << true;
        QTest::newRow("template alone") << u"Quillmarch.xls"_s << true;
        QTest::newRow("backups alone") << u"backup/QM-2026-03-02.dbf"_s << true;
        QTest::newRow("someone else's backup folder") << u"backup/photos.zip"_s << false;
    }

    void portableWhenAnyOfItsFilesIsBesideTheProgram()
    {
        QFETCH(QString, file);
        QFETCH(bool, portable);
        put(bin() + u'/' + file, "mine");
        QCOMPARE(prepareProgramFolder({bin() + u'/', {}, user()}), portable ? bin() : user());
        QCOMPARE(QFileInfo::exists(user()), !portable);
    }

    void lostArchiveWithBackupsIsNotReplacedByAnEmptyOne()
    {
        put(user() + u"/Quillmarch.ini"_s, "edited by the mechanic");
        put(user() + u"/backup/QM-2026-03-02.dbf"_s, "yesterday's acts");
        QCOMPARE(prepareProgramFolder({bin(), {}, user()}), user());
        QVERIFY(!QFileInfo::exists(user() + u"/QM.dbf"_s));
        QCOMPARE(contentOf(user() + u"/Quillmarch.xls"_s), QByteArray("template"));
    }

    void installedCopiesWhatIsMissingAndKeepsTheRest()
    {
        const ProgramFolderPlaces places{bin(), {}, user()};
        QCOMPARE(prepareProgramFolder(places), user());
        for (const QStringView name : kProgramFileNames) {
            QCOMPARE(contentOf(user() + u'/' + name.toString()), contentOf(shipped(name.toString())));
            QVERIFY(QFile::permissions(user() + u'/' + name.toString()) & QFile::WriteOwner);
        }

        put(user() + u"/Quillmarch.ini"_s, "edited by the mechanic");
        put(user() + u"/QM.dbf"_s, "archive with acts");
        QVERIFY(QFile::remove(user() + u"/Quillmarch.xls"_s));
        QCOMPARE(prepareProgramFolder(places), user());
        QCOMPARE(contentOf(user() + u"/Quillmarch.ini"_s), QByteArray("edited by the mechanic"));
        QCOMPARE(contentOf(user() + u"/QM.dbf"_s), QByteArray("archive with acts"));
        QCOMPARE(contentOf(user() + u"/Quillmarch.xls"_s), QByteArray("template"));
        QVERIFY(!QFileInfo::exists(bin() + u"/Quillmarch.ini"_s));
    }

    void installedWithoutItsShippedFiles()
    {
        QVERIFY(QFile::remove(shipped(u"QM.dbf"_s)));
        QCOMPARE(failureNumberOf({bin(), {}, user()}), FailureCode::FileNotFound);
    }

    void chosenFolderWinsAndIsUsedAsItIs()
    {
        put(bin() + u"/Quillmarch.ini"_s, "portable");
        const QString shared = root_.filePath(u"server/acts"_s);
        QVERIFY(QDir().mkpath(shared));
        QCOMPARE(prepareProgramFolder({bin(), shared + u"/"_s, user()}), shared);
        QVERIFY(QDir(shared).isEmpty());
        QVERIFY(!QFileInfo::exists(user()));

        QCOMPARE(failureNumberOf({bin(), root_.filePath(u"server/typo"_s), user()}), FailureCode::PathNotFound);
        QVERIFY(!QFileInfo::exists(root_.filePath(u"server/typo"_s)));
    }

    void perUserFolderThatCannotBeMade()
    {
        // A file where a folder of the path should be: refused even to root.
        put(root_.filePath(u"home/.local/share"_s), "not a folder");
        const ProgramFolderPlaces places{bin(), {}, user()};
        QCOMPARE(failureNumberOf(places), FailureCode::PathFileAccessError);

        ScriptedPrompts prompts;
        QCOMPARE(openProgramFolder(places, prompts), std::nullopt);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.constFirst().title, u"Quillmarch"_s);
        QVERIFY2(prompts.messages.constFirst().text.startsWith(u"Ошибка 75\r\n"_s),
                 qPrintable(prompts.messages.constFirst().text));
        QVERIFY(prompts.messages.constFirst().text.contains(user()));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("request");
        QTest::addColumn<QString>("folderOrMistake");
        using R = CommandLine::Request;
        QTest::newRow("nothing") << QStringList{} << int(R::Run) << QString();
        QTest::newRow("folder") << QStringList{u"--folder"_s, u"/srv/акты"_s} << int(R::Run) << u"/srv/акты"_s;
        QTest::newRow("folder=") << QStringList{u"--folder=/srv/a"_s} << int(R::Run) << u"/srv/a"_s;
        QTest::newRow("help wins") << QStringList{u"--bogus"_s, u"-h"_s} << int(R::Help) << QString();
        QTest::newRow("version") << QStringList{u"--version"_s} << int(R::Version) << QString();
        QTest::newRow("Qt's -reverse is not -v")
            << QStringList{u"-reverse"_s} << int(R::Mistake) << u"неизвестный параметр --reverse"_s;
        QTest::newRow("no folder after --folder")
            << QStringList{u"--folder"_s} << int(R::Mistake) << u"после --folder нужно указать папку"_s;
        QTest::newRow("stray argument") << QStringList{u"act.xls"_s} << int(R::Mistake)
                                        << u"лишний аргумент «act.xls»"_s;
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, request);
        QFETCH(QString, folderOrMistake);
        const CommandLine line = parseCommandLine(QStringList{u"quillmarch"_s} + arguments);
        QCOMPARE(int(line.request), request);
        QCOMPARE(line.request == CommandLine::Request::Mistake ? line.mistake : line.folder, folderOrMistake);
    }
};

}  // namespace qm::test

QTEST_GUILESS_MAIN(qm::test::ProgramFolderTest)
#include "test_program_folder.moc"
