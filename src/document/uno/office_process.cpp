#include "document/uno/office_process.h"

#include <QFile>

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace qm::calc {

bool isOfficeProcess(qint64 pid, const QString &pipeName)
{
    if (pid <= 0)
        return false;
    // A zombie's command line reads empty, so the pipe name rules it out too.
    QFile commandLine(u"/proc/%1/cmdline"_s.arg(pid));
    return commandLine.open(QIODevice::ReadOnly) && QString::fromLocal8Bit(commandLine.readAll()).contains(pipeName);
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
