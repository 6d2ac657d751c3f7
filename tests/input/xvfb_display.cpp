#include "xvfb_display.h"

#include <QByteArray>
#include <QStringList>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace qm::test {

namespace {

// execvp in the child; never returns.
[[noreturn]] void execute(const QStringList &arguments)
{
    std::vector<QByteArray> storage;
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    execvp(argv.front(), argv.data());
    _exit(127);
}

}  // namespace

XvfbDisplay::~XvfbDisplay()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

bool XvfbDisplay::start(const QString &screen)
{
    int channel[2];
    if (pipe(channel) != 0) {
        error_ = u"pipe() failed"_s;
        return false;
    }
    pid_ = fork();
    if (pid_ == 0) {
        close(channel[0]);
        execute({u"Xvfb"_s, u"-displayfd"_s, QString::number(channel[1]), u"-noreset"_s, u"-nolisten"_s, u"tcp"_s,
                 u"-screen"_s, u"0"_s, screen});
    }
    close(channel[1]);
    if (pid_ < 0) {
        close(channel[0]);
        error_ = u"fork() failed"_s;
        return false;
    }

    // Xvfb writes its display number once it accepts connections.
    QByteArray number;
    pollfd ready{channel[0], POLLIN, 0};
    while (!number.endsWith('\n') && poll(&ready, 1, 10000) > 0) {
        char buffer[16];
        const ssize_t got = read(channel[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        number.append(buffer, got);
    }
    close(channel[0]);
    if (!number.endsWith('\n')) {
        error_ = u"Xvfb did not start (is the xvfb package installed?)"_s;
        return false;
    }
    name_ = u":"_s + QString::fromLatin1(number.trimmed());
    return true;
}

bool XvfbDisplay::run(const QStringList &arguments)
{
    const pid_t child = fork();
    if (child == 0)
        execute(arguments);
    if (child < 0)
        return false;
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace qm::test
