#include "document/uno/office_launch.h"

#include "common/failure.h"
#include "document/uno/uno_values.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QUrl>

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <clocale>
#include <csignal>
#include <locale.h>
#include <mutex>
#include <unistd.h>

using namespace Qt::StringLiterals;
using css::uno::Reference;

namespace qm::calc {

namespace {

const QString programDir = QStringLiteral(QM_LIBREOFFICE_PROGRAM_DIR);

QString sofficePathOf(const LibreOfficeOptions &options)
{
    return options.sofficePath.isEmpty() ? programDir + u"/soffice"_s : options.sofficePath;
}

QString uniquePipeName()
{
    static int started = 0;
    return u"quillmarch_%1_%2_%3"_s.arg(QCoreApplication::applicationPid())
        .arg(++started)
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

// A locale the system lacks leaves the office in the plain "C" locale, where
// file names are ASCII: a template or a PDF copy in a folder with Cyrillic
// letters ("Акты") could not be opened or written. Without the Russian locale
// the office keeps the same UTF-8 file names, with menus in English.
QString officeLocale()
{
    for (const char *name : {"ru_RU.UTF-8", "C.UTF-8"}) {
        if (const locale_t available = ::newlocale(LC_ALL_MASK, name, locale_t(nullptr))) {
            ::freelocale(available);
            return QString::fromLatin1(name);
        }
    }
    return u"C.UTF-8"_s;
}

qint64 startOfficeProcess(const LibreOfficeOptions &options, const QString &pipeName)
{
    const QString soffice = sofficePathOf(options);
    const QFileInfo info(soffice);
    if (!info.isFile() || !info.isExecutable())
        throw Failure(FailureCode::CannotCreateObject,
                      u"Не удаётся запустить LibreOffice: программа %1 не найдена"_s.arg(soffice));

    QStringList arguments{u"--invisible"_s, u"--nologo"_s, u"--nodefault"_s, u"--norestore"_s, u"--nolockcheck"_s};
    if (options.headless)
        arguments << u"--headless"_s;
    if (!options.profileDir.isEmpty())
        arguments << u"-env:UserInstallation=%1"_s.arg(
            QUrl::fromLocalFile(options.profileDir).toString(QUrl::FullyEncoded));
    arguments << u"--accept=pipe,name=%1;urp;StarOffice.ComponentContext"_s.arg(pipeName);

    // Detached and silent: the office outlives us for the user, and it must not
    // hold our standard output (a test runner would wait for it to close).
    QProcess process;
    process.setProgram(soffice);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    // The office's menus and dialogs in Russian, as everything else on screen,
    // whatever the desktop's language. A language chosen in LibreOffice's own
    // settings is read before the locale, so the user's choice still wins.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString locale = officeLocale();
    environment.insert(u"LC_ALL"_s, locale);
    environment.insert(u"LANG"_s, locale);
    process.setProcessEnvironment(environment);
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        throw Failure(FailureCode::CannotCreateObject, u"Не удаётся запустить LibreOffice (%1)"_s.arg(soffice),
                      process.errorString());
    return pid;
}

rtl::OUString pipeUrl(const QString &pipeName)
{
    return toOUString(u"uno:pipe,name=%1;urp;StarOffice.ComponentContext"_s.arg(pipeName));
}

}  // namespace

void prepareLocalRuntime()
{
    // Our executable is not in the office's folder, so the runtime has to be told
    // where its own bootstrap settings are.
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        qputenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" QM_LIBREOFFICE_PROGRAM_DIR "/fundamentalrc");
    // A write to the pipe of an office that has just died must turn into an
    // exception of the bridge, not end the program.
    std::signal(SIGPIPE, SIG_IGN);
}

Reference<css::uno::XComponentContext> localContext()
{
    static std::mutex settingUp;
    const std::lock_guard<std::mutex> lock(settingUp);
    static Reference<css::uno::XComponentContext> context;
    if (context.is())
        return context;
    prepareLocalRuntime();
    try {
        context = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const css::uno::Exception &e) {
        throw Failure(FailureCode::CannotCreateObject,
                      u"Не удаётся подготовить связь с LibreOffice (%1)"_s.arg(programDir), toQString(e.Message));
    }
    return context;
}

StartedOffice startOffice(const LibreOfficeOptions &options)
{
    StartedOffice started;
    started.pipeName = uniquePipeName();
    started.pid = startOfficeProcess(options, started.pipeName);
    return started;
}

OfficeConnection connectToOffice(const QString &pipeName, const LibreOfficeOptions &options,
                                 const std::function<bool()> &mayStillAnswer)
{
    const Reference<css::uno::XComponentContext> local = localContext();
    OfficeConnection connection;
    connection.pipeName = pipeName;
    const QDeadlineTimer deadline(std::chrono::seconds(options.startTimeoutSeconds));
    try {
        const Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(local);
        for (;;) {
            // Asked before each attempt, so an office that died while starting
            // is known within one pause, not at the end of the deadline.
            const bool ended = mayStillAnswer && !mayStillAnswer();
            const bool lastAttempt = ended || deadline.hasExpired();
            try {
                connection.context.set(resolver->resolve(pipeUrl(pipeName)), css::uno::UNO_QUERY_THROW);
                break;
            } catch (const css::connection::NoConnectException &e) {
                if (lastAttempt && ended)
                    throw Failure(FailureCode::CannotCreateObject,
                                  u"LibreOffice (%1) завершилась, не успев ответить"_s.arg(sofficePathOf(options)),
                                  toQString(e.Message));
                if (lastAttempt)
                    throw Failure(FailureCode::CannotCreateObject,
                                  u"LibreOffice (%1) не ответила за %2 с"_s.arg(sofficePathOf(options))
                                      .arg(options.startTimeoutSeconds),
                                  toQString(e.Message));
                QThread::msleep(100);
            }
        }
        connection.desktop = css::frame::Desktop::create(connection.context);
    } catch (const css::uno::Exception &e) {
        throw Failure(FailureCode::CannotCreateObject, u"Не удаётся подключиться к LibreOffice"_s,
                      toQString(e.Message));
    }
    return connection;
}

std::optional<OfficeConnection> connectIfAnswering(const QString &pipeName)
{
    OfficeConnection connection;
    connection.pipeName = pipeName;
    try {
        const Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(localContext());
        connection.context.set(resolver->resolve(pipeUrl(pipeName)), css::uno::UNO_QUERY_THROW);
        connection.desktop = css::frame::Desktop::create(connection.context);
    } catch (const css::uno::Exception &) {
        return std::nullopt;
    }
    return connection;
}

namespace {

// The state letter of /proc/PID/stat ('Z' for a zombie), or 0 when the process is gone.
char processState(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype nameEnd = line.lastIndexOf(')');
    return nameEnd >= 0 && nameEnd + 2 < line.size() ? line.at(nameEnd + 2) : 0;
}

}  // namespace

bool isOfficeProcess(qint64 pid, const QString &pipeName)
{
    if (pid <= 0)
        return false;
    // A zombie's command line reads empty, and so, for a moment, does that of
    // a process passing from one program to the next (the launcher script
    // becoming oosplash): only the first is gone.
    for (int attempt = 0; attempt < 10; ++attempt) {
        QFile commandLine(u"/proc/%1/cmdline"_s.arg(pid));
        if (!commandLine.open(QIODevice::ReadOnly))
            return false;
        const QByteArray arguments = commandLine.readAll();
        if (!arguments.isEmpty())
            return QString::fromLocal8Bit(arguments).contains(pipeName);
        const char state = processState(pid);
        if (state == 0 || state == 'Z' || state == 'X')
            return false;
        ::usleep(20000);
    }
    return false;
}

void terminateOfficeProcesses(qint64 pid, const QString &pipeName)
{
    if (!isOfficeProcess(pid, pipeName))
        return;
    const pid_t group = ::getpgid(pid_t(pid));
    if (group > 1 && group != ::getpgrp())
        ::kill(-group, SIGTERM);
    else
        ::kill(pid_t(pid), SIGTERM);
}

}  // namespace qm::calc
