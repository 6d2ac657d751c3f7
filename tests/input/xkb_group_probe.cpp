#include "xkb_group_probe.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XKBrules.h>

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

bool lockXkbGroupFromAnotherClient(const QString &displayName, int group)
{
    Display *display = XOpenDisplay(displayName.toLocal8Bit().constData());
    if (display == nullptr)
        return false;
    const bool locked = XkbLockGroup(display, XkbUseCoreKbd, static_cast<unsigned int>(group));
    XSync(display, False);
    XCloseDisplay(display);
    return locked;
}

bool advertiseXkbLayouts(const QString &displayName, const char *layouts)
{
    Display *display = XOpenDisplay(displayName.toLocal8Bit().constData());
    if (display == nullptr)
        return false;
    char rules[] = "evdev", model[] = "pc105";
    XkbRF_VarDefsRec names{};
    names.model = model;
    names.layout = const_cast<char *>(layouts);
    const bool written = XkbRF_SetNamesProp(display, rules, &names);
    XSync(display, False);
    XCloseDisplay(display);
    return written;
}

}  // namespace qm::test
