#include "input/keyboard_layout.h"

#include "common/program_log.h"
#include "input/keyboard_backends.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace qm {

namespace {

// Each question to the desktop holds the window for at most this long.
constexpr std::chrono::milliseconds kDesktopTimeout{3000};

// Platforms without a layout interface: there is nothing to read or switch.
class NoKeyboardLayout final : public KeyboardLayout {
public:
    QString activeLayoutId() override { return {}; }
    void activateNextLayout() override {}
    bool offersRussian() override { return false; }
};

// Without an address libdbus would try to launch a bus of its own.
bool sessionBusIsThere()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + u"/bus"_s);
}

bool runsOnX11Display()
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        return false;
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr && x11->display() != nullptr;
}

KeyboardSession observeSession(std::unique_ptr<KeyboardLayout> &kde)
{
    KeyboardSession session;
    if (sessionBusIsThere()) {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected() && bus.interface()->isServiceRegistered(u"org.kde.keyboard"_s))
            kde = makeKdeKeyboardLayout(bus, kDesktopTimeout);
    }
    session.kdeServiceAnswers = kde != nullptr;
    session.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    session.sessionType = qEnvironmentVariable("XDG_SESSION_TYPE");
    session.x11Display = runsOnX11Display();
    if (session.x11Display) {
        for (const QScreen *screen : QGuiApplication::screens())
            session.screenNames.append(screen->name());
    }
    session.swaySocket = qEnvironmentVariable("SWAYSOCK");
    return session;
}

}  // namespace

std::unique_ptr<KeyboardLayout> makeSystemKeyboardLayout()
{
    std::unique_ptr<KeyboardLayout> kde;
    const KeyboardSession session = observeSession(kde);
    switch (chooseKeyboardBackend(session)) {
    case KeyboardBackend::KdeService: qCInfo(logInput) << "Keyboard layouts: KDE Plasma's org.kde.keyboard"; return kde;
    case KeyboardBackend::Xkb:
        if (std::unique_ptr<KeyboardLayout> x11 = makeX11KeyboardLayout()) {
            qCInfo(logInput) << "Keyboard layouts: XKB of the X server";
            return x11;
        }
        break;
    case KeyboardBackend::SwaySocket:
        qCInfo(logInput) << "Keyboard layouts: sway's socket";
        return makeSwayKeyboardLayout(session.swaySocket, kDesktopTimeout);
    case KeyboardBackend::KeyPositions: break;
    }
    qCInfo(logInput) << "Keyboard layouts: none to switch; the customer field types Russian by key position";
    return std::make_unique<NoKeyboardLayout>();
}

bool isWaylandSession(const KeyboardSession &session)
{
    if (!session.waylandDisplay.isEmpty() || session.sessionType.compare(u"wayland"_s, Qt::CaseInsensitive) == 0)
        return true;
    // Xwayland names its outputs XWAYLAND0, XWAYLAND1...: a program started
    // with a cleaned environment still knows where it is.
    return std::any_of(session.screenNames.cbegin(), session.screenNames.cend(),
                       [](const QString &name) { return name.startsWith(u"XWAYLAND"_s, Qt::CaseInsensitive); });
}

KeyboardBackend chooseKeyboardBackend(const KeyboardSession &session)
{
    if (session.kdeServiceAnswers)
        return KeyboardBackend::KdeService;
    if (session.x11Display && !isWaylandSession(session))
        return KeyboardBackend::Xkb;
    if (!session.swaySocket.isEmpty())
        return KeyboardBackend::SwaySocket;
    return KeyboardBackend::KeyPositions;
}

}  // namespace qm
