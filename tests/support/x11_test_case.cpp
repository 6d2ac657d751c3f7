#include "x11_test_case.h"

#include <QGuiApplication>
#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {

void X11TestCase::initTestCase()
{
    if (!skipReason_.isEmpty())
        QSKIP(qPrintable(skipReason_));
    QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
}

void prepareApplicationFor(const XvfbDisplay &server, const QString &skipReason)
{
    for (const char *variable : {"WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "SWAYSOCK", "DBUS_SESSION_BUS_ADDRESS"})
        qunsetenv(variable);
    qputenv("XDG_RUNTIME_DIR", "/nonexistent");
    qputenv("QT_QPA_PLATFORM", skipReason.isEmpty() ? "xcb" : "offscreen");
    if (skipReason.isEmpty())
        qputenv("DISPLAY", server.name().toLocal8Bit());
}

}  // namespace qm::test
