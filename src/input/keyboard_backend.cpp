#include "input/keyboard_backend.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace qm {

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
