#include "input/keyboard_backends.h"
#include "input/keyboard_layout.h"
#include "input/set_keyboard_layout.h"
#include "support/fake_keyboard_layout.h"

#include <QTest>

using namespace Qt::StringLiterals;

class KeyboardLayoutSwitchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void setKeyboardLayout_data();
    void setKeyboardLayout();
    void xkbLayoutIds_data();
    void xkbLayoutIds();
    void systemLayoutIsInertWithoutX11();
    void backendFollowsTheSession_data();
    void backendFollowsTheSession();
};

void KeyboardLayoutSwitchTest::setKeyboardLayout_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("activeAfter");

    const QStringList usRu{u"00000409"_s, u"00000419"_s};
    const QStringList ruUs{u"00000419"_s, u"00000409"_s};
    const QStringList usUaRu{u"00000409"_s, u"00000422"_s, u"00000419"_s};

    QTest::newRow("Russian already active") << ruUs << u"ru"_s << 0 << u"00000419"_s;
    QTest::newRow("English active, two layouts") << usRu << u"ru"_s << 1 << u"00000419"_s;
    QTest::newRow("language in capitals") << usRu << u"RU"_s << 1 << u"00000419"_s;
    QTest::newRow("EN while English is active") << usRu << u"EN"_s << 0 << u"00000409"_s;
    QTest::newRow("en while Russian is active") << ruUs << u"en"_s << 1 << u"00000409"_s;
    QTest::newRow("three layouts: one step only") << usUaRu << u"ru"_s << 1 << u"00000422"_s;
    // It may be Russian already (Xwayland names only "us" whatever is active).
    QTest::newRow("unreadable layout: nothing switches")
        << QStringList{QString(), u"00000419"_s} << u"ru"_s << 0 << QString();
    QTest::newRow("unknown language changes nothing") << usRu << u"de"_s << 0 << u"00000409"_s;
}

void KeyboardLayoutSwitchTest::setKeyboardLayout()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, language);
    QFETCH(int, steps);
    QFETCH(QString, activeAfter);

    qm::test::FakeKeyboardLayout layout(installed);
    qm::SetKeyboardLayout(layout, language);
    QCOMPARE(layout.steps, steps);
    QCOMPARE(layout.activeLayoutId(), activeAfter);
}

void KeyboardLayoutSwitchTest::xkbLayoutIds_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QString>("id");

    QTest::newRow("us") << u"us"_s << QString() << u"00000409"_s;
    QTest::newRow("ru") << u"ru"_s << QString() << u"00000419"_s;
    QTest::newRow("ru with an unlisted variant is Russian") << u"ru"_s << u"winkeys"_s << u"00000419"_s;
    QTest::newRow("ru typewriter is another layout") << u"ru"_s << u"typewriter"_s << u"00010419"_s;
    QTest::newRow("us dvorak") << u"us"_s << u"dvorak"_s << u"00010409"_s;
    QTest::newRow("padded names from the property") << u" ua "_s << u" "_s << u"00000422"_s;
    QTest::newRow("hexadecimal digits in capitals") << u"fr"_s << QString() << u"0000040C"_s;
    QTest::newRow("unknown layout") << u"xx"_s << QString() << QString();
    QTest::newRow("empty layout") << QString() << QString() << QString();
}

void KeyboardLayoutSwitchTest::xkbLayoutIds()
{
    QFETCH(QString, layout);
    QFETCH(QString, variant);
    QFETCH(QString, id);
    QCOMPARE(qm::windowsLayoutIdOfXkb(layout, variant), id);
}

// The offscreen platform has the X11 native interface but no display: the
// factory must not hand that null display to Xlib.
void KeyboardLayoutSwitchTest::systemLayoutIsInertWithoutX11()
{
    const std::unique_ptr<qm::KeyboardLayout> layout = qm::makeSystemKeyboardLayout();
    QVERIFY(layout);
    QCOMPARE(layout->activeLayoutId(), QString());
    layout->activateNextLayout();
    qm::SetKeyboardLayout(*layout, u"ru"_s);
    QCOMPARE(layout->activeLayoutId(), QString());
}

void KeyboardLayoutSwitchTest::backendFollowsTheSession_data()
{
    using qm::KeyboardBackend;
    QTest::addColumn<qm::KeyboardSession>("session");
    QTest::addColumn<KeyboardBackend>("backend");

    // kde, WAYLAND_DISPLAY, XDG_SESSION_TYPE, X11 client, screens, sway socket
    const QString none;
    const QString sway = u"/run/user/1000/sway-ipc.sock"_s;
    const QStringList noScreen;
    using S = qm::KeyboardSession;
    QTest::newRow("Plasma on X11") << S{true, none, u"x11"_s, true, {u"HDMI-1"_s}, none} << KeyboardBackend::KdeService;
    QTest::newRow("Plasma on Wayland, Xwayland client")
        << S{true, u"wayland-0"_s, u"wayland"_s, true, {u"XWAYLAND0"_s}, none} << KeyboardBackend::KdeService;
    QTest::newRow("real X server") << S{false, none, u"x11"_s, true, {u"DP-1"_s}, none} << KeyboardBackend::Xkb;
    QTest::newRow("X server, no session type")
        << S{false, none, none, true, {u"screen"_s}, none} << KeyboardBackend::Xkb;
    QTest::newRow("GNOME on Wayland via Xwayland")
        << S{false, u"wayland-0"_s, u"wayland"_s, true, {u"XWAYLAND0"_s}, none} << KeyboardBackend::KeyPositions;
    QTest::newRow("WAYLAND_DISPLAY alone")
        << S{false, u"wayland-0"_s, none, true, {u"DP-1"_s}, none} << KeyboardBackend::KeyPositions;
    QTest::newRow("session type alone, any case")
        << S{false, none, u"Wayland"_s, true, {u"DP-1"_s}, none} << KeyboardBackend::KeyPositions;
    QTest::newRow("Xwayland outputs, clean environment")
        << S{false, none, none, true, {u"XWAYLAND1"_s}, none} << KeyboardBackend::KeyPositions;
    QTest::newRow("sway, Xwayland client")
        << S{false, u"wayland-1"_s, u"wayland"_s, true, {u"XWAYLAND0"_s}, sway} << KeyboardBackend::SwaySocket;
    QTest::newRow("sway, native client") << S{false, u"wayland-1"_s, u"wayland"_s, false, noScreen, sway}
                                         << KeyboardBackend::SwaySocket;
    QTest::newRow("GNOME, native client")
        << S{false, u"wayland-0"_s, u"wayland"_s, false, noScreen, none} << KeyboardBackend::KeyPositions;
    QTest::newRow("offscreen") << S{false, none, none, false, noScreen, none} << KeyboardBackend::KeyPositions;
}

void KeyboardLayoutSwitchTest::backendFollowsTheSession()
{
    QFETCH(qm::KeyboardSession, session);
    QFETCH(qm::KeyboardBackend, backend);
    QCOMPARE(qm::chooseKeyboardBackend(session), backend);
}

QTEST_MAIN(KeyboardLayoutSwitchTest)
#include "test_keyboard_layout_switch.moc"
