#pragma once

#include <QString>

namespace qm::calc {

// Whether the process runs and is still the office started with this pipe: a
// process that has ended, a zombie and a process id handed on to another
// program all say no.
bool isOfficeProcess(qint64 pid, const QString &pipeName);

// Asks the office led by this process to end: the signal goes to the process
// group the launcher runs in, which holds the office's own processes too. A
// process that is not that office, or shares our own group, is left alone.
void terminateOfficeProcesses(qint64 pid, const QString &pipeName);

}  // namespace qm::calc
