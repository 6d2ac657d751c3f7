// The desktops' own layout services: KDE Plasma's org.kde.keyboard on a
// private session bus, and sway's IPC socket, each served by a fake that
// speaks the real protocol from another thread.

#include "input/keyboard_backends.h"
#include "input/set_keyboard_layout.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

constexpr auto kPatience = 30s;

struct LayoutEntry {
    QString shortName, displayName, longName;
};

QDBusArgument &operator<<(QDBusArgument &argument, const LayoutEntry &entry)
{
    argument.beginStructure();
    argument << entry.shortName << entry.displayName << entry.longName;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, LayoutEntry &entry)
{
    argument.beginStructure();
    argument >> entry.shortName >> entry.displayName >> entry.longName;
    argument.endStructure();
    return argument;
}

}  // namespace

Q_DECLARE_METATYPE(LayoutEntry)

namespace {

// Plasma's keyboard service as its D-Bus interface shows it.
class FakeKdeKeyboard : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KeyboardLayouts")
public:
    QList<LayoutEntry> layouts;  // the serving thread's own once it serves
    std::atomic<uint> active{0};
    std::atomic<int> steps{0};

public Q_SLOTS:
    uint getLayout() { return active; }
    QList<LayoutEntry> getLayoutsList() { return layouts; }
    void switchToNextLayout()
    {
        ++steps;
        active = (active + 1) % uint(layouts.size());
    }
};

// A private bus daemon, and the fake service on a connection of its own,
// served by its own thread while the code under test waits for answers.
class PrivateBus {
public:
    PrivateBus()
    {
        daemon_.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address"_s});
        if (daemon_.waitForReadyRead(int(std::chrono::milliseconds(kPatience).count())))
            address_ = QString::fromLocal8Bit(daemon_.readLine().trimmed());
        serviceThread_.start();
    }
    ~PrivateBus()
    {
        serviceThread_.quit();
        serviceThread_.wait();
        QDBusConnection::disconnectFromBus(u"fake-kde"_s);
        QDBusConnection::disconnectFromBus(u"program"_s);
        daemon_.kill();
        daemon_.waitForFinished();
    }

    bool serve(FakeKdeKeyboard &service)
    {
        service.moveToThread(&serviceThread_);
        QDBusConnection bus = QDBusConnection::connectToBus(address_, u"fake-kde"_s);
        return bus.registerObject(u"/Layouts"_s, &service, QDBusConnection::ExportAllSlots)
            && bus.registerService(u"org.kde.keyboard"_s);
    }

    QDBusConnection program() const { return QDBusConnection::connectToBus(address_, u"program"_s); }
    QString address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
    QThread serviceThread_;
};

// A sway IPC message, request or reply alike.
QByteArray framed(std::uint32_t type, const QByteArray &payload)
{
    const auto length = std::uint32_t(payload.size());
    return QByteArray("i3-ipc") + QByteArray(reinterpret_cast<const char *>(&length), 4)
        + QByteArray(reinterpret_cast<const char *>(&type), 4) + payload;
}

// sway's IPC socket: answers GET_INPUTS with one keyboard that has the given
// layouts, and steps it on "input type:keyboard xkb_switch_layout next".
class FakeSway {
public:
    explicit FakeSway(QStringList layouts) : layouts_(std::move(layouts))
    {
        path = folder_.filePath(u"sway-ipc.sock"_s);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof address.sun_path - 1);
        listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::bind(listener_, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
            || ::listen(listener_, 4) != 0)
            qFatal("no socket for the fake sway");
        server_ = std::thread([this] { serve(); });
    }
    ~FakeSway()
    {
        ::shutdown(listener_, SHUT_RDWR);
        server_.join();
        ::close(listener_);
    }

    QList<QByteArray> requests()
    {
        const std::lock_guard lock(mutex_);
        return requests_;
    }

    QString path;

private:
    void serve()
    {
        for (int client; (client = ::accept(listener_, nullptr, nullptr)) >= 0; ::close(client))
            answer(client);
    }

    void answer(int client)
    {
        char head[14];
        if (::recv(client, head, sizeof head, MSG_WAITALL) != sizeof head)
            return;
        std::uint32_t length = 0, type = 0;
        std::memcpy(&length, head + 6, 4);
        std::memcpy(&type, head + 10, 4);
        QByteArray request(head, sizeof head);
        request.resize(qsizetype(sizeof head + length));
        if (length > 0 && ::recv(client, request.data() + sizeof head, length, MSG_WAITALL) != ssize_t(length))
            return;
        QByteArray reply;
        {
            const std::lock_guard lock(mutex_);
            requests_.append(request);
            if (type == 0 && request.endsWith("input type:keyboard xkb_switch_layout next")) {
                active_ = (active_ + 1) % int(layouts_.size());
                reply = "[ { \"success\": true } ]";
            } else if (type == 100) {
                const QJsonObject keyboard{{u"identifier"_s, u"1:1:kbd"_s},
                                           {u"type"_s, u"keyboard"_s},
                                           {u"xkb_active_layout_name"_s, layouts_.at(active_)},
                                           {u"xkb_layout_names"_s, QJsonArray::fromStringList(layouts_)}};
                const QJsonArray inputs{QJsonObject{{u"identifier"_s, u"1:1:mouse"_s}, {u"type"_s, u"pointer"_s}},
                                        QJsonObject{{u"identifier"_s, u"0:0:power"_s}, {u"type"_s, u"keyboard"_s}},
                                        keyboard};
                reply = QJsonDocument(inputs).toJson();
            }
        }
        // In pieces, as a busy compositor may write it.
        const QByteArray message = framed(type, reply);
        for (qsizetype at = 0; at < message.size(); at += 9)
            ::send(client, message.constData() + at, std::size_t(qMin<qsizetype>(9, message.size() - at)),
                   MSG_NOSIGNAL);
    }

    QTemporaryDir folder_;
    QStringList layouts_;
    int active_ = 0;
    int listener_ = -1;
    std::mutex mutex_;
    QList<QByteArray> requests_;
    std::thread server_;
};

// English active, Russian offered: the first switch steps to it, the second finds it active.
void switchToRussianTwice(qm::KeyboardLayout &layout)
{
    QVERIFY(layout.offersRussian());
    QCOMPARE(layout.activeLayoutId(), u"00000409"_s);
    qm::SetKeyboardLayout(layout, u"ru"_s);
    QCOMPARE(layout.activeLayoutId(), u"00000419"_s);
    qm::SetKeyboardLayout(layout, u"ru"_s);
}

}  // namespace

class DesktopLayoutServicesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        qDBusRegisterMetaType<LayoutEntry>();
        qDBusRegisterMetaType<QList<LayoutEntry>>();
    }

    void kdeServiceSwitchesToRussianOnce()
    {
        FakeKdeKeyboard service;  // outlives the thread that serves it
        PrivateBus bus;
        QVERIFY2(!bus.address().isEmpty(), "dbus-daemon did not start (is the dbus-daemon package installed?)");
        // No service on the bus: the session has no Plasma.
        QVERIFY(!qm::makeKdeKeyboardLayout(bus.program(), kPatience));

        service.layouts = {{u"us"_s, u"en"_s, u"English (US)"_s}, {u"ru"_s, u"ru"_s, u"Russian (phonetic)"_s}};
        QVERIFY(bus.serve(service));
        const std::unique_ptr<qm::KeyboardLayout> layout = qm::makeKdeKeyboardLayout(bus.program(), kPatience);
        QVERIFY(layout);
        switchToRussianTwice(*layout);
        QCOMPARE(service.steps.load(), 1);

        // The mechanic takes Russian out of Plasma's list.
        QMetaObject::invokeMethod(
            &service, [&service] { service.layouts.removeLast(); }, Qt::BlockingQueuedConnection);
        QVERIFY(!layout->offersRussian());
    }

    void swayFramesItsRequestsAndReadsRepliesWhole()
    {
        FakeSway sway({u"English (US)"_s, u"Russian (phonetic)"_s});
        const std::unique_ptr<qm::KeyboardLayout> layout = qm::makeSwayKeyboardLayout(sway.path, kPatience);
        switchToRussianTwice(*layout);
        if (QTest::currentTestFailed())
            return;

        const QByteArray getInputs = framed(100, {});
        QCOMPARE(sway.requests(),
                 (QList<QByteArray>{getInputs, getInputs, getInputs,
                                    framed(0, "input type:keyboard xkb_switch_layout next"), getInputs, getInputs}));

        FakeSway german({u"English (US)"_s, u"German"_s});
        QVERIFY(!qm::makeSwayKeyboardLayout(german.path, kPatience)->offersRussian());
        const std::unique_ptr<qm::KeyboardLayout> gone = qm::makeSwayKeyboardLayout(sway.path + u".gone"_s, kPatience);
        QCOMPARE(gone->activeLayoutId(), QString());
        QVERIFY(!gone->offersRussian());
        gone->activateNextLayout();
    }
};

QTEST_GUILESS_MAIN(DesktopLayoutServicesTest)
#include "test_desktop_layout_services.moc"
