// A second copy of the program's archive code, driven by the fault tests:
//
//   qm_act_saver save <folder> <prefix> <count> [pauseMs] [backupDays] [go]
//     Saves acts <prefix>-1, <prefix>-2, ... (count 0: until killed), each after
//     a random pause of up to pauseMs, through
//     SaveActToArchive, exactly as the print command does, and writes each id
//     to standard output once its save has returned. Prints "ready" first.
//     With backupDays, the archive keeps daily backups as the program does,
//     and a save that made the day's copy is followed by the line "backup made".
//     With "go", the saving starts on the input line "go", so that two
//     helpers can be started at one moment.
//
//   qm_act_saver print <folder> <id> [--user <name>]
//     Runs the print command for act <id> on a recording spreadsheet. Every
//     message box is written out as "message<TAB>text<TAB>sha256 of QM.dbf"
//     and answered by the next input line (yes, no or ok); the run starts
//     after the input line "go". Ends with "done<TAB><record count panel>".
//     --user drops root's privileges first, so file permissions apply.
//
//   qm_act_saver delete <folder> <position>
//     Deletes the live record at a 0-based position, as another workstation's
//     archive window does, and prints "deleted".
//
//   qm_act_saver copy <folder> <position>
//     Appends a record holding every field of the live record at a 0-based
//     position (a reprint of that act, as far as the list can tell), and
//     prints "copied".
//
// Lines go out with one write() each, so a kill never leaves half a line.

#include "app/commands/print_command.h"
#include "app/prompts/prompts.h"
#include "archive/dbf_archive.h"
#include "archive/save_act.h"
#include "archive_contents.h"
#include "archive_test_helpers.h"
#include "common/failure.h"
#include "numbered_act.h"
#include "recording_spreadsheet.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QThread>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <iostream>
#include <string>

using namespace Qt::StringLiterals;

namespace {

void writeLine(const QString &line)
{
    const QByteArray bytes = (line + u'\n').toUtf8();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            std::_Exit(3);
        done += n;
    }
}

QString readLine()
{
    std::string line;
    if (!std::getline(std::cin, line))
        std::_Exit(4);  // the test went away
    return QString::fromStdString(line).trimmed();
}

class StdioPrompts final : public qm::Prompts {
public:
    explicit StdioPrompts(QString archivePath) : archivePath_(std::move(archivePath)) {}

    qm::PromptAnswer message(const qm::MessageRequest &request) override
    {
        QString text = request.text;
        text.replace(u"\r\n"_s, u"\\n"_s);
        writeLine(u"message\t%1\t%2"_s.arg(text, QString::fromLatin1(qm::test::fileHash(archivePath_))));
        const QString answer = readLine();
        if (answer == u"yes"_s)
            return qm::PromptAnswer::Yes;
        if (answer == u"no"_s)
            return qm::PromptAnswer::No;
        return qm::PromptAnswer::Ok;
    }

    QString openFile(const qm::OpenFileRequest &) override { return {}; }
    bool openDocument(const QString &) override { return false; }

private:
    QString archivePath_;
};

bool dropPrivileges(const char *userName)
{
    if (::geteuid() != 0)
        return true;
    const passwd *user = ::getpwnam(userName);
    return user && ::setgroups(0, nullptr) == 0 && ::setgid(user->pw_gid) == 0 && ::setuid(user->pw_uid) == 0;
}

int saveLoop(const QString &folder, const QString &prefix, int count, int pauseMs, int backupDays, bool waitForGo)
{
    qm::DbfArchive archive(folder, qm::ArchiveBackupPlan{backupDays});
    writeLine(u"ready"_s);
    if (waitForGo && readLine() != u"go"_s)
        return 5;
    for (int n = 1; count == 0 || n <= count; ++n) {
        if (pauseMs > 0)
            QThread::usleep(QRandomGenerator::global()->bounded(pauseMs * 1000 + 1));
        const qm::test::NumberedAct act{u"%1-%2"_s.arg(prefix).arg(n)};
        try {
            if (qm::SaveActToArchive(act.value(), archive).backupMade)
                writeLine(u"backup made"_s);
        } catch (const qm::Failure &failure) {
            std::cerr << "failure " << failure.number() << ' ' << failure.what() << std::endl;
            return 2;
        }
        writeLine(act.id);
    }
    return 0;
}

int copyRecord(const QString &folder, int position)
{
    qm::DbfArchive archive(folder);
    qm::test::FieldValues values;
    {
        const auto records = archive.open(qm::ArchiveAccess::ReadOnly);
        records->skip(position);
        using namespace qm::ArchiveField;
        for (const QStringView field :
             {ACTDATE, MECHNAME, TYPEKKM, ZAVNUM, GODVYP, PRICHINA, E_SOHRAN, E_READABLE, INN, EKLZREG, NAMEORG}) {
            const QVariant value = records->value(field);
            // A date column takes its value back as day.month.year text.
            values.append(
                {field.toString(),
                 value.typeId() == QMetaType::QDate ? QVariant(value.toDate().toString(u"d.M.yyyy"_s)) : value});
        }
    }
    qm::test::appendRecord(archive, values);
    writeLine(u"copied"_s);
    return 0;
}

int printOnce(const QString &folder, const QString &id)
{
    const qm::ActData act = qm::test::NumberedAct{id}.value();
    qm::DbfArchive archive(folder);
    StdioPrompts prompts(archive.filePath());
    qm::test::RecordingSpreadsheet spreadsheet;
    qm::ProgramValues values;
    values.programFolder = folder;
    // The archive is what this helper exercises: run as another user, it may
    // not write the folder, and would tell of the act's PDF copy too.
    values.SavePdf = false;
    writeLine(u"ready"_s);
    if (readLine() != u"go"_s)
        return 5;
    const qm::PrintOutcome outcome = qm::PrintCommand(act, values, prompts, spreadsheet, archive).run();
    writeLine(u"done\tЗаписей: "_s + QString::number(outcome.recordCount.value_or(0)));
    return 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    const QStringList arguments = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i)
            list << QString::fromLocal8Bit(argv[i]);
        return list;
    }();
    const qsizetype userOption = arguments.indexOf(u"--user"_s);
    if (userOption >= 0 && (userOption + 1 >= arguments.size() || !dropPrivileges(argv[userOption + 2]))) {
        std::cerr << "cannot become the user given with --user" << std::endl;
        return 6;
    }

    QApplication application(argc, argv);
    if (arguments.size() >= 4 && arguments[0] == u"save"_s)
        return saveLoop(arguments[1], arguments[2], arguments[3].toInt(), arguments.value(4).toInt(),
                        arguments.value(5).toInt(), arguments.value(6) == u"go"_s);
    try {
        if (arguments.size() >= 3 && arguments[0] == u"delete"_s) {
            qm::DbfArchive archive(arguments[1]);
            qm::test::deleteAt(archive, arguments[2].toInt());
            writeLine(u"deleted"_s);
            return 0;
        }
        if (arguments.size() >= 3 && arguments[0] == u"copy"_s)
            return copyRecord(arguments[1], arguments[2].toInt());
    } catch (const qm::Failure &failure) {
        std::cerr << "failure " << failure.number() << ' ' << failure.what() << std::endl;
        return 2;
    }
    if (arguments.size() >= 3 && arguments[0] == u"print"_s)
        return printOnce(arguments[1], arguments[2]);
    std::cerr << "usage: qm_act_saver save <folder> <prefix> <count> [pauseMs] [backupDays] [go]"
                 " | print <folder> <id> [--user name]"
              << std::endl;
    return 1;
}
