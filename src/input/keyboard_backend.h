#pragma once

#include <QString>
#include <QStringList>

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

}  // namespace qm
