#include "xkb_group_probe.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace qm::test {

int xkbGroupSeenByAnotherClient(const QString &displayName)
{
    Display *display = XOpenDisplay(displayName.toLocal8Bit().constData());
    if (display == nullptr)
        return -1;
    XkbStateRec state{};
    const int group = XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : -1;
    XCloseDisplay(display);
    return group;
}

}  // namespace qm::test
