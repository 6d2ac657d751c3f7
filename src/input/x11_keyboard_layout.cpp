// Qt first: the X11 headers below define macros (None, KeyPress, Bool...)
// that break Qt's own headers when they come earlier.
#include "input/keyboard_backends.h"

#include <QGuiApplication>
#include <QStringList>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XKBrules.h>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace qm {

namespace {

// The layout and variant lists of the display, e.g. "us,ru" and ",".
struct XkbNames {
    QStringList layouts;
    QStringList variants;
};

std::optional<XkbNames> readXkbNames(Display *display)
{
    char *rulesFile = nullptr;
    XkbRF_VarDefsRec names{};
    if (!XkbRF_GetNamesProp(display, &rulesFile, &names))
        return std::nullopt;
    XkbNames result{
        QString::fromLatin1(names.layout ? names.layout : "").split(u','),
        QString::fromLatin1(names.variant ? names.variant : "").split(u','),
    };
    std::free(rulesFile);
    std::free(names.model);
    std::free(names.layout);
    std::free(names.variant);
    std::free(names.options);
    return result;
}

std::optional<int> currentGroup(Display *display)
{
    XkbStateRec state{};
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success)
        return std::nullopt;
    return state.group;
}

int groupCount(Display *display)
{
    int count = 0;
    if (XkbDescPtr keyboard = XkbAllocKeyboard()) {
        keyboard->device_spec = XkbUseCoreKbd;
        if (XkbGetControls(display, XkbGroupsWrapMask, keyboard) == Success && keyboard->ctrls)
            count = keyboard->ctrls->num_groups;
        XkbFreeKeyboard(keyboard, 0, True);
    }
    return count;
}

class X11KeyboardLayout final : public KeyboardLayout {
public:
    explicit X11KeyboardLayout(Display *display) : display_(display) {}

    QString activeLayoutId() override
    {
        const std::optional<int> group = currentGroup(display_);
        const std::optional<XkbNames> names = readXkbNames(display_);
        // A group beyond the advertised layouts is what Xwayland shows: it
        // names "us" whatever the compositor's keymap holds, so the group's
        // layout is unknown, and may well be Russian.
        if (!group || !names || *group >= names->layouts.size())
            return {};
        const QString layout = names->layouts.at(*group).trimmed();
        const QString variant = *group < names->variants.size() ? names->variants.at(*group) : QString();
        const QString id = windowsLayoutIdOfXkb(layout, variant);
        if (!id.isEmpty())
            return id;
        return layout.isEmpty() ? QString() : u"xkb:"_s + layout;
    }

    bool offersRussian() override
    {
        const std::optional<XkbNames> names = readXkbNames(display_);
        if (!names || groupCount(display_) < 2)
            return false;
        for (const QString &layout : names->layouts) {
            if (layout.trimmed() == u"ru"_s)
                return true;
        }
        return false;
    }

    void activateNextLayout() override
    {
        const std::optional<int> group = currentGroup(display_);
        const int count = groupCount(display_);
        if (!group || count < 2)
            return;
        XkbLockGroup(display_, XkbUseCoreKbd, static_cast<unsigned int>((*group + 1) % count));
        // The group must have changed before the next key press is read.
        XSync(display_, False);
    }

private:
    Display *display_;
};

Display *applicationDisplay()
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        return nullptr;
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

}  // namespace

std::unique_ptr<KeyboardLayout> makeX11KeyboardLayout()
{
    Display *display = applicationDisplay();
    if (display == nullptr)
        return nullptr;
    int opcode = 0, event = 0, error = 0;
    int major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor))
        return nullptr;
    return std::make_unique<X11KeyboardLayout>(display);
}

}  // namespace qm
