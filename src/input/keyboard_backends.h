#pragma once

#include "input/keyboard_layout.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

// Only the KDE backend and its tests speak DBus; the others need not see it.
class QDBusConnection;

// Where the session keeps its keyboard layouts, and the backends that read
// and switch them there; makeSystemKeyboardLayout() chooses among them.

namespace qm {

// What the session tells about where its keyboard layouts live.
struct KeyboardSession {
    bool kdeServiceAnswers = false;  // org.kde.keyboard on the session bus
    QString waylandDisplay;          // $WAYLAND_DISPLAY
    QString sessionType;             // $XDG_SESSION_TYPE
    bool x11Display = false;         // the program runs on an X display (Qt's xcb)
    QStringList screenNames;         // the X screens' RandR output names
    QString swaySocket;              // $SWAYSOCK
};

enum class KeyboardBackend {
    KdeService,    // Plasma, on Wayland or X11
    Xkb,           // a real X server
    SwaySocket,    // sway's IPC
    KeyPositions,  // nothing can switch: the customer field types Russian itself
};

// A Wayland session (even when the program is an X client of Xwayland) never
// gets XKB calls: Xwayland's group is a private copy the compositor overrides,
// and its layout names do not tell the compositor's layouts.
bool isWaylandSession(const KeyboardSession &session);

// In this order: the KDE service when it answers, XKB on a real X server,
// sway's socket, then the field's own Russian typing.
KeyboardBackend chooseKeyboardBackend(const KeyboardSession &session);

// The XKB groups of the application's X display; null when the application
// does not run on X11 (Wayland, offscreen) or the display lacks XKB. Only for
// a real X server: Xwayland's XKB state is a private copy that the compositor
// overrides.
std::unique_ptr<KeyboardLayout> makeX11KeyboardLayout();

// KDE Plasma's layouts through its session service org.kde.keyboard (on
// Wayland and on X11 alike). Null when the service does not answer on `bus`
// within `timeout`; each later call waits at most that long as well.
std::unique_ptr<KeyboardLayout> makeKdeKeyboardLayout(const QDBusConnection &bus, std::chrono::milliseconds timeout);

// sway's IPC message types the program uses.
enum class SwayMessage : std::uint32_t {
    RunCommand = 0,
    GetInputs = 100,
};

// One request on sway's IPC socket: the "i3-ipc" magic, the payload's length
// and the message type (both 32-bit, in the machine's byte order), then the
// payload; the reply is framed alike. The reply's payload, or none when the
// socket cannot be reached or does not answer in kind within `timeout`.
std::optional<QByteArray> swayRequest(const QString &socketPath, SwayMessage type, const QByteArray &payload,
                                      std::chrono::milliseconds timeout);

// The layouts of sway's keyboards, through the socket at `socketPath`
// ($SWAYSOCK). Every call asks sway afresh and waits at most `timeout`.
std::unique_ptr<KeyboardLayout> makeSwayKeyboardLayout(const QString &socketPath, std::chrono::milliseconds timeout);

// The Windows keyboard layout identifier ("00000419") of an XKB layout name
// ("ru") and variant ("", "typewriter"); empty when the layout is unknown.
// A variant without its own identifier counts as its layout.
QString windowsLayoutIdOfXkb(QStringView layout, QStringView variant);

}  // namespace qm
