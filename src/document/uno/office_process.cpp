#include "document/uno/office_process.h"

#include <QFile>

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace qm::calc {

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
