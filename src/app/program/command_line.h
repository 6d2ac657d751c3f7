#pragma once

#include <QString>
#include <QStringList>

namespace qm {

// What the command line asks of this run.
struct CommandLine {
    enum class Request { Run, Help, Version, Mistake };
    Request request = Request::Run;
    QString folder;   // --folder DIR; empty when not given
    QString mistake;  // what is wrong with the command line, for Request::Mistake
};

// Reads the arguments, the program's own path first. --help and --version win
// over anything else on the line, mistakes included.
CommandLine parseCommandLine(const QStringList &arguments);

// The answers on the console, in Russian, each ending with a line break.
QString helpText(const QString &programName);
QString versionText();
QString mistakeText(const QString &programName, const QString &mistake);

}  // namespace qm
