#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace qm::test {

// The helper qm_act_saver (a second copy of the archive code) as a child
// process, read line by line.
class ActSaverProcess {
public:
    static QString program() { return QStringLiteral(QM_ACT_SAVER); }

    explicit ActSaverProcess(const QStringList &arguments);
    ~ActSaverProcess();  // kills and reaps a child still running

    qint64 pid() const { return process_.processId(); }

    // The next complete output line; empty when none came within the time.
    QString nextLine(int timeoutMs = 60000);
    void send(const QString &line);

    void kill();
    // Waits for the end and returns every complete line not yet taken, but for
    // "ready": for a saving helper, the ids of the acts it reported saved.
    QStringList finish(int timeoutMs = 60000);
    bool exitedNormally() const;
    QString errorOutput() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

private:
    QProcess process_;
    QByteArray pending_;
};

}  // namespace qm::test
