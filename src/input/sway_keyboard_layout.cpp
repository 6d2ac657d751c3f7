#include "input/keyboard_backends.h"

#include "common/program_log.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace qm {

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::size_t kHeaderSize = sizeof kMagic + 2 * sizeof(std::uint32_t);
// sway's replies to these requests are a few kilobytes; anything near this is
// not sway.
constexpr std::uint32_t kLongestReply = 16 * 1024 * 1024;

class Socket {
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

bool waitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd ready{fd, events, 0};
        const int got = ::poll(&ready, 1, int(left.count()));
        if (got > 0)
            return true;
        if (got < 0 && errno != EINTR)
            return false;
    }
}

bool sendAll(int fd, const QByteArray &bytes, Clock::time_point deadline)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        if (!waitFor(fd, POLLOUT, deadline))
            return false;
        const ssize_t n = ::send(fd, bytes.constData() + sent, std::size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR && errno != EAGAIN)
            return false;
        if (n > 0)
            sent += n;
    }
    return true;
}

std::optional<QByteArray> receiveExactly(int fd, std::size_t count, Clock::time_point deadline)
{
    QByteArray bytes(qsizetype(count), Qt::Uninitialized);
    std::size_t got = 0;
    while (got < count) {
        if (!waitFor(fd, POLLIN, deadline))
            return std::nullopt;
        const ssize_t n = ::recv(fd, bytes.data() + got, count - got, 0);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN))
            return std::nullopt;
        if (n > 0)
            got += std::size_t(n);
    }
    return bytes;
}

std::optional<int> connectTo(const QString &socketPath)
{
    const QByteArray path = socketPath.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return std::nullopt;
    // A local socket connects at once or not at all.
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    return fd;
}

QByteArray header(SwayMessage type, std::uint32_t length)
{
    QByteArray bytes(kMagic, sizeof kMagic);
    const auto kind = static_cast<std::uint32_t>(type);
    bytes.append(reinterpret_cast<const char *>(&length), sizeof length);
    bytes.append(reinterpret_cast<const char *>(&kind), sizeof kind);
    return bytes;
}

// sway names layouts by their long names: "Russian", "Russian (phonetic)".
bool isRussian(const QString &longName)
{
    return longName.startsWith(u"Russian"_s);
}

// A command's reply: one result object per command run.
bool allSucceeded(const QByteArray &reply)
{
    const QJsonArray results = QJsonDocument::fromJson(reply).array();
    return !results.isEmpty() && std::all_of(results.begin(), results.end(), [](const QJsonValue &result) {
        return result.toObject().value(u"success"_s).toBool();
    });
}

struct SwayKeyboard {
    QString activeLayout;
    QStringList layouts;
};

class SwayKeyboardLayout final : public KeyboardLayout {
public:
    SwayKeyboardLayout(QString socketPath, std::chrono::milliseconds timeout)
        : socketPath_(std::move(socketPath)), timeout_(timeout)
    {
    }

    QString activeLayoutId() override
    {
        const std::optional<SwayKeyboard> keyboard = firstKeyboard();
        if (!keyboard || keyboard->activeLayout.isEmpty())
            return {};
        if (isRussian(keyboard->activeLayout))
            return u"00000419"_s;
        if (keyboard->activeLayout == u"English (US)"_s)
            return u"00000409"_s;
        return u"sway:"_s + keyboard->activeLayout;
    }

    void activateNextLayout() override
    {
        const std::optional<QByteArray> reply
            = swayRequest(socketPath_, SwayMessage::RunCommand, "input type:keyboard xkb_switch_layout next", timeout_);
        if (!reply || !allSucceeded(*reply))
            qCWarning(logInput).noquote() << "sway did not switch the layout:" << reply.value_or("no answer");
    }

    bool offersRussian() override
    {
        const std::optional<SwayKeyboard> keyboard = firstKeyboard();
        if (!keyboard)
            return false;
        if (isRussian(keyboard->activeLayout))
            return true;
        return std::any_of(keyboard->layouts.cbegin(), keyboard->layouts.cend(), isRussian);
    }

private:
    // The switch applies to every keyboard alike; the first one that reports
    // a layout speaks for them all.
    std::optional<SwayKeyboard> firstKeyboard()
    {
        const std::optional<QByteArray> reply = swayRequest(socketPath_, SwayMessage::GetInputs, {}, timeout_);
        if (!reply)
            return std::nullopt;
        const QJsonArray inputs = QJsonDocument::fromJson(*reply).array();
        for (const QJsonValue &value : inputs) {
            const QJsonObject input = value.toObject();
            if (input.value(u"type"_s).toString() != u"keyboard"_s)
                continue;
            const QString active = input.value(u"xkb_active_layout_name"_s).toString();
            if (active.isEmpty())
                continue;
            SwayKeyboard keyboard{active, {}};
            for (const QJsonValue &name : input.value(u"xkb_layout_names"_s).toArray())
                keyboard.layouts.append(name.toString());
            return keyboard;
        }
        return std::nullopt;
    }

    QString socketPath_;
    std::chrono::milliseconds timeout_;
};

}  // namespace

std::optional<QByteArray> swayRequest(const QString &socketPath, SwayMessage type, const QByteArray &payload,
                                      std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    const std::optional<int> fd = connectTo(socketPath);
    if (!fd)
        return std::nullopt;
    const Socket socket(*fd);
    if (!sendAll(socket.fd(), header(type, std::uint32_t(payload.size())) + payload, deadline))
        return std::nullopt;

    const std::optional<QByteArray> head = receiveExactly(socket.fd(), kHeaderSize, deadline);
    if (!head || !head->startsWith(QByteArrayView(kMagic, sizeof kMagic)))
        return std::nullopt;
    std::uint32_t length = 0, kind = 0;
    std::memcpy(&length, head->constData() + sizeof kMagic, sizeof length);
    std::memcpy(&kind, head->constData() + sizeof kMagic + sizeof length, sizeof kind);
    if (kind != static_cast<std::uint32_t>(type) || length > kLongestReply)
        return std::nullopt;
    return receiveExactly(socket.fd(), length, deadline);
}

std::unique_ptr<KeyboardLayout> makeSwayKeyboardLayout(const QString &socketPath, std::chrono::milliseconds timeout)
{
    return std::make_unique<SwayKeyboardLayout>(socketPath, timeout);
}

}  // namespace qm
