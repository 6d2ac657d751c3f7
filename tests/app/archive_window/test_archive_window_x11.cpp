// The archive window's title bar on a real X server (a private Xvfb): what a
// window manager would print there is read back from the window's properties
// by another X client.

#include "app/archive_window/form2.h"
#include "archive_test_fixture.h"
#include "support/x11_test_case.h"

#include <QApplication>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace Qt::StringLiterals;

namespace {

// A text property of a window as another client reads it; nullopt when the
// window does not have it.
std::optional<QByteArray> windowTextProperty(const QString &displayName, WId window, const char *name)
{
    Display *display = XOpenDisplay(displayName.toLocal8Bit().constData());
    if (display == nullptr)
        return std::nullopt;
    std::optional<QByteArray> text;
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long left = 0;
    unsigned char *data = nullptr;
    const Atom property = XInternAtom(display, name, False);
    if (XGetWindowProperty(display, Window(window), property, 0, 1024, False, AnyPropertyType, &type, &format, &items,
                           &left, &data)
            == Success
        && type != None) {
        text = QByteArray(reinterpret_cast<const char *>(data), qsizetype(items));
    }
    if (data != nullptr)
        XFree(data);
    XCloseDisplay(display);
    return text;
}

}  // namespace

class ArchiveWindowX11Test : public qm::test::X11TestCase {
    Q_OBJECT
public:
    using X11TestCase::X11TestCase;

private Q_SLOTS:
    void titleBarShowsNoText()
    {
        qm::test::ArchiveWorld world;
        world.append(qm::test::sampleRow(1));
        qm::Form2 window(world.context());
        QVERIFY(window.Form_Load());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        for (const char *name : {"_NET_WM_NAME", "WM_NAME"}) {
            const std::optional<QByteArray> title = windowTextProperty(displayName(), window.winId(), name);
            QVERIFY2(title, name);
            QVERIFY2(title->trimmed().isEmpty(),
                     qPrintable(u"%1: «%2»"_s.arg(QString::fromLatin1(name), QString::fromUtf8(*title))));
        }
    }
};

int main(int argc, char *argv[])
{
    qm::test::XvfbDisplay xvfb;
    const QString skipReason = xvfb.start() ? QString() : u"No X server for the title test: "_s + xvfb.error();
    qm::test::prepareApplicationFor(xvfb, skipReason);

    QApplication app(argc, argv);
    // As the program names itself: the name Qt would put in an empty title bar.
    QApplication::setApplicationName(u"Quillmarch"_s);
    ArchiveWindowX11Test test(xvfb.name(), skipReason);
    return QTest::qExec(&test, argc, argv);
}

#include "test_archive_window_x11.moc"
