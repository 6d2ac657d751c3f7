#include "act_saver_process.h"

#include <QDeadlineTimer>

using namespace Qt::StringLiterals;

namespace qm::test {

ActSaverProcess::ActSaverProcess(const QStringList &arguments)
{
    process_.setProgram(program());
    process_.setArguments(arguments);
    process_.start();
    process_.waitForStarted();
}

ActSaverProcess::~ActSaverProcess()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished();
    }
}

QString ActSaverProcess::nextLine(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const qsizetype end = pending_.indexOf('\n');
        if (end >= 0) {
            const QString line = QString::fromUtf8(pending_.left(end));
            pending_.remove(0, end + 1);
            return line;
        }
        if (deadline.hasExpired())
            return {};
        if (process_.bytesAvailable() == 0) {
            if (process_.state() == QProcess::NotRunning)
                return {};
            process_.waitForReadyRead(int(deadline.remainingTime()));
        }
        pending_ += process_.readAllStandardOutput();
    }
}

void ActSaverProcess::send(const QString &line)
{
    process_.write((line + u'\n').toUtf8());
    process_.waitForBytesWritten();
}

void ActSaverProcess::kill()
{
    process_.kill();
}

QStringList ActSaverProcess::finish(int timeoutMs)
{
    process_.closeWriteChannel();
    process_.waitForFinished(timeoutMs);
    pending_ += process_.readAllStandardOutput();
    QStringList lines = QString::fromUtf8(pending_).split(u'\n');
    lines.removeLast();  // a line cut off by a kill is no report
    lines.removeAll(u"ready"_s);
    pending_.clear();
    return lines;
}

bool ActSaverProcess::exitedNormally() const
{
    return process_.state() == QProcess::NotRunning && process_.exitStatus() == QProcess::NormalExit
        && process_.exitCode() == 0;
}

}  // namespace qm::test
