#pragma once

#include <QString>

#include <sys/types.h>

namespace qm::test {

// A private Xvfb server for one test run, on a display number the server
// picks itself, so parallel test runs cannot collide. Stopped on destruction.
class XvfbDisplay {
public:
    XvfbDisplay() = default;
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay &) = delete;
    XvfbDisplay &operator=(const XvfbDisplay &) = delete;

    // Starts the server with one screen of this size ("800x600x24" is enough
    // for a test window); on failure returns false and says why in error().
    bool start(const QString &screen = QStringLiteral("800x600x24"));
    // Runs a program to completion; true when it exits with status 0.
    bool run(const QStringList &arguments);

    QString name() const { return name_; }  // ":N"
    QString error() const { return error_; }

private:
    pid_t pid_ = -1;
    QString name_;
    QString error_;
};

}  // namespace qm::test
