#pragma once

#include "input/xvfb_display.h"

#include <QObject>
#include <QString>

namespace qm::test {

// Tests against a private Xvfb, where another X client can read back what a
// real server made of the program's windows. Skipped, not failed, on a machine
// where no Xvfb starts.
class X11TestCase : public QObject {
    Q_OBJECT
public:
    X11TestCase(QString displayName, QString skipReason)
        : displayName_(std::move(displayName)), skipReason_(std::move(skipReason))
    {
    }

protected:
    const QString &displayName() const { return displayName_; }

private Q_SLOTS:
    void initTestCase();

private:
    QString displayName_;
    QString skipReason_;
};

// Makes the QApplication created next a plain X client of the server, whatever
// desktop the test was started from; offscreen when skipReason says the server
// cannot be used (the test then skips).
void prepareApplicationFor(const XvfbDisplay &server, const QString &skipReason);

}  // namespace qm::test
