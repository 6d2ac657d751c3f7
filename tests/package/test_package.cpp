#include "archive/archive_table.h"
#include "archive/dbf_archive.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

const QString kId = QStringLiteral(QM_APPLICATION_ID);
constexpr int kGenerousMs = 300'000;

struct Run {
    int exitCode = -1;
    QString output;
    QString errors;
};

// Runs a program to its end; a hang past the deadline fails the test.
Run run(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(), int deadlineMs = kGenerousMs)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(deadlineMs)) {
        process.kill();
        process.waitForFinished();
        result.errors = u"%1 did not finish within %2 s"_s.arg(program).arg(deadlineMs / 1000);
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAllStandardOutput());
    result.errors = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every file under a folder with a digest of its content.
QStringList treeOf(const QString &folder)
{
    QStringList lines;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        lines << path + u' '
                + QString::fromLatin1(QCryptographicHash::hash(contentOf(path), QCryptographicHash::Sha256).toHex());
    }
    lines.sort();
    return lines;
}

}  // namespace

// The Debian package as a mechanic gets it: built with CPack from this build,
// its files, its desktop metadata, and the program unpacked from it into a
// folder of its own and started there by a user with an empty home.
class PackageTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir work_;
    QString deb_;
    QString root_;  // the package unpacked
    QString home_;

    QString program() const { return root_ + u"/usr/bin/quillmarch"_s; }
    QString shipped(const QString &name) const { return root_ + u"/usr/share/quillmarch/"_s + name; }
    QString userFolder() const { return home_ + u"/data/Quillmarch"_s; }

    // The unpacked program on the offscreen platform with the startup probe,
    // as a user whose home is the temporary one.
    QProcessEnvironment desktop(const QString &report, const QString &dataHome) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(u"HOME"_s, home_);
        environment.insert(u"XDG_DATA_HOME"_s, dataHome);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"QT_QPA_PLATFORMTHEME"_s, QString());
        environment.insert(u"LANG"_s, u"C.UTF-8"_s);
        environment.insert(u"LD_PRELOAD"_s, QStringLiteral(QM_STARTUP_PROBE));
        environment.insert(u"QM_PROBE_REPORT"_s, report);
        return environment;
    }

    // Starts the unpacked program and returns its exit code and what the probe saw.
    std::pair<int, QStringList> start(const QString &name, const QStringList &arguments = {}, QString dataHome = {})
    {
        if (dataHome.isEmpty())
            dataHome = home_ + u"/data"_s;
        const QString report = work_.filePath(name + u".report"_s);
        const Run started = run(program(), arguments, desktop(report, dataHome));
        if (!started.errors.isEmpty())
            qInfo("%s", qPrintable(started.errors));
        return {started.exitCode, QString::fromUtf8(contentOf(report)).split(u'\n', Qt::SkipEmptyParts)};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(work_.isValid());
        const Run packed = run(QStringLiteral(QM_CPACK),
                               {u"-G"_s, u"DEB"_s, u"--config"_s, QStringLiteral(QM_BUILD_DIR "/CPackConfig.cmake"),
                                u"-B"_s, work_.filePath(u"out"_s)});
        QVERIFY2(packed.exitCode == 0, qPrintable(packed.output + packed.errors));
        const Run architecture = run(u"dpkg"_s, {u"--print-architecture"_s});
        deb_ = work_.filePath(
            u"out/quillmarch_%1_%2.deb"_s.arg(QStringLiteral(QM_VERSION), architecture.output.trimmed()));
        QVERIFY2(QFileInfo::exists(deb_), qPrintable(QDir(work_.filePath(u"out"_s)).entryList().join(u' ')));

        root_ = work_.filePath(u"unpacked"_s);
        const Run unpacked = run(u"dpkg"_s, {u"-x"_s, deb_, root_});
        QVERIFY2(unpacked.exitCode == 0, qPrintable(unpacked.errors));
        home_ = work_.filePath(u"home"_s);
        QVERIFY(QDir().mkpath(home_));
    }

    void filesAndControlFields()
    {
        const Run listed = run(u"dpkg-deb"_s, {u"--contents"_s, deb_});
        QCOMPARE(listed.exitCode, 0);
        // "-rwxr-xr-x root/root 123 2024-01-01 00:00 ./usr/bin/quillmarch"
        QStringList files;
        for (const QString &line : listed.output.split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList columns = line.split(u' ', Qt::SkipEmptyParts);
            QCOMPARE(columns.size(), 6);
            QCOMPARE(columns.at(1), u"root/root"_s);
            if (!line.startsWith(u'd'))
                files << columns.at(5).mid(1);
        }
        files.sort();
        QStringList expected{u"/usr/bin/quillmarch"_s,
                             u"/usr/share/applications/%1.desktop"_s.arg(kId),
                             u"/usr/share/icons/hicolor/scalable/apps/%1.svg"_s.arg(kId),
                             u"/usr/share/metainfo/%1.metainfo.xml"_s.arg(kId),
                             u"/usr/share/quillmarch/QM.dbf"_s,
                             u"/usr/share/quillmarch/Quillmarch.ini"_s,
                             u"/usr/share/quillmarch/Quillmarch.xls"_s};
        expected.sort();
        QCOMPARE(files, expected);
        QVERIFY(QFileInfo(program()).isExecutable());
        QCOMPARE(contentOf(shipped(u"Quillmarch.ini"_s)),
                 contentOf(QStringLiteral(QM_SOURCE_DIR "/data/Quillmarch.ini")));

        const auto field = [&](const QString &name) {
            return run(u"dpkg-deb"_s, {u"--field"_s, deb_, name}).output.trimmed();
        };
        QCOMPARE(field(u"Package"_s), u"quillmarch"_s);
        QCOMPARE(field(u"Version"_s), QStringLiteral(QM_VERSION));
        const QString depends = field(u"Depends"_s);
        for (const QString &needed : {u"libreoffice-calc"_s, u"libqt6widgets6"_s, u"libc6"_s})
            QVERIFY2(depends.contains(needed), qPrintable(depends));
        const QString recommends = field(u"Recommends"_s);
        QVERIFY2(recommends.contains(u"libreoffice-l10n-ru") && recommends.contains(u"fonts-liberation"),
                 qPrintable(recommends));
    }

    void desktopMetadataValidates()
    {
        const QString desktopFile = root_ + u"/usr/share/applications/%1.desktop"_s.arg(kId);
        const Run desktop = run(u"desktop-file-validate"_s, {desktopFile});
        QVERIFY2(desktop.exitCode == 0 && desktop.output.isEmpty(), qPrintable(desktop.output + desktop.errors));
        const QString entry = QString::fromUtf8(contentOf(desktopFile));
        for (const QString &line : {u"\nExec=quillmarch\n"_s, u"\nIcon=%1\n"_s.arg(kId), u"\nCategories=Office;\n"_s,
                                    u"\nName[ru]="_s, u"\nComment[ru]="_s})
            QVERIFY2(entry.contains(line), qPrintable(line));

        const QString metainfo = root_ + u"/usr/share/metainfo/%1.metainfo.xml"_s.arg(kId);
        const Run validated = run(u"appstreamcli"_s, {u"validate"_s, u"--no-net"_s, metainfo});
        QVERIFY2(validated.exitCode == 0, qPrintable(validated.output + validated.errors));
        const QString component = QString::fromUtf8(contentOf(metainfo));
        QVERIFY(component.contains(u"<id>%1</id>"_s.arg(kId)));
        QVERIFY(component.contains(u"<launchable type=\"desktop-id\">%1.desktop</launchable>"_s.arg(kId)));
    }

    void firstStartFillsTheUserFolder()
    {
        const QStringList before = treeOf(root_);
        const auto [exitCode, seen] = start(u"first"_s);
        QCOMPARE(exitCode, 0);
        QCOMPARE(seen.size(), 1);
        QVERIFY2(seen.constFirst().startsWith(u"window\tQuillmarch - заполнение документов\t"_s),
                 qPrintable(seen.constFirst()));
        QVERIFY2(seen.constFirst().contains(u" | Записей: 0 | "_s), qPrintable(seen.constFirst()));
        for (const QString &name : {u"Quillmarch.ini"_s, u"Quillmarch.xls"_s, u"QM.dbf"_s})
            QCOMPARE(contentOf(userFolder() + u'/' + name), contentOf(shipped(name)));
        // Nothing of the installed program was written to.
        QCOMPARE(treeOf(root_), before);
    }

    void secondStartKeepsTheMechanicsSettings()
    {
        QFile settings(userFolder() + u"/Quillmarch.ini"_s);
        QVERIFY(settings.open(QIODevice::Append));
        settings.write("\r\n[TechNames]\r\nTech9=Mechanic Nine\r\n");
        settings.close();
        const QByteArray edited = contentOf(settings.fileName());
        QVERIFY(QFile::remove(userFolder() + u"/Quillmarch.xls"_s));

        const auto [exitCode, seen] = start(u"second"_s);
        QCOMPARE(exitCode, 0);
        QVERIFY2(seen.size() == 1 && seen.constFirst().contains(u" | Записей: 0 | "_s), qPrintable(seen.join(u'\n')));
        QCOMPARE(contentOf(settings.fileName()), edited);
        QCOMPARE(contentOf(userFolder() + u"/Quillmarch.xls"_s), contentOf(shipped(u"Quillmarch.xls"_s)));
    }

    void chosenFolder()
    {
        const QString shared = work_.filePath(u"server/acts"_s);
        QVERIFY(QDir().mkpath(shared));
        QVERIFY(QFile::copy(shipped(u"Quillmarch.ini"_s), shared + u"/Quillmarch.ini"_s));
        QVERIFY(QFile::copy(QStringLiteral(QM_TEST_DATA_DIR "/archive/xbase_archive.dbf"), shared + u"/QM.dbf"_s));
        QFile::setPermissions(shared + u"/QM.dbf"_s, QFile::ReadOwner | QFile::WriteOwner);
        DbfArchive archive(shared);
        const int records = CountArchiveRecords(archive);
        QVERIFY(records > 0);

        const QString otherHome = work_.filePath(u"other-data"_s);
        const auto [exitCode, seen] = start(u"chosen"_s, {u"--folder"_s, shared}, otherHome);
        QCOMPARE(exitCode, 0);
        QVERIFY2(seen.size() == 1 && seen.constFirst().contains(u" | Записей: %1 | "_s.arg(records)),
                 qPrintable(seen.join(u'\n')));
        QVERIFY(!QFileInfo::exists(otherHome));
    }

    void perUserFolderThatCannotBeMade()
    {
        const QString notAFolder = work_.filePath(u"data-is-a-file"_s);
        QFile file(notAFolder);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const auto [exitCode, seen] = start(u"unwritable"_s, {}, notAFolder);
        QVERIFY(exitCode > 0);
        QCOMPARE(seen.size(), 1);
        QVERIFY2(seen.constFirst().startsWith(u"message\tQuillmarch\tОшибка 75\\n"_s), qPrintable(seen.constFirst()));
        QVERIFY(seen.constFirst().contains(notAFolder + u"/Quillmarch"_s));
    }

    void commandLineWithoutADisplay()
    {
        QProcessEnvironment console = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            console.remove(QString::fromLatin1(name));
        console.insert(u"LANG"_s, u"C.UTF-8"_s);

        const Run help = run(program(), {u"--help"_s}, console);
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.output.startsWith(u"Использование: quillmarch [--folder ПАПКА]\n"_s), qPrintable(help.output));
        QVERIFY(help.output.contains(u"--version"_s) && help.output.contains(u"~/.local/share/Quillmarch"_s));

        const Run version = run(program(), {u"-v"_s}, console);
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.output, u"Quillmarch, версия %1\n"_s.arg(QStringLiteral(QM_VERSION)));

        console.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        const Run mistaken = run(program(), {u"--folders"_s, u"/tmp"_s}, console);
        QCOMPARE(mistaken.exitCode, 2);
        QVERIFY2(
            mistaken.errors.contains(u"quillmarch: неизвестный параметр --folders\nСправка: quillmarch --help\n"_s),
            qPrintable(mistaken.errors));
    }
};

}  // namespace qm::test

QTEST_GUILESS_MAIN(qm::test::PackageTest)
#include "test_package.moc"
