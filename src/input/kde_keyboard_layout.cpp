#include "input/keyboard_backends.h"

#include "common/program_log.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>

#include <optional>

using namespace Qt::StringLiterals;

namespace qm {

namespace {

const QString kService = u"org.kde.keyboard"_s;
const QString kPath = u"/Layouts"_s;
const QString kInterface = u"org.kde.KeyboardLayouts"_s;

class KdeKeyboardLayout final : public KeyboardLayout {
public:
    KdeKeyboardLayout(QDBusConnection bus, std::chrono::milliseconds timeout) : bus_(std::move(bus)), timeout_(timeout)
    {
    }

    // The entries' short names ("us", "ru") in the service's order, or none
    // when the service does not answer as it should.
    std::optional<QStringList> shortNames()
    {
        const std::optional<QDBusMessage> reply = call(u"getLayoutsList"_s);
        if (!reply || reply->arguments().size() != 1 || !reply->arguments().front().canConvert<QDBusArgument>())
            return std::nullopt;
        const QDBusArgument list = reply->arguments().front().value<QDBusArgument>();
        if (list.currentSignature() != u"a(sss)"_s)
            return std::nullopt;
        QStringList names;
        list.beginArray();
        while (!list.atEnd()) {
            QString shortName, displayName, longName;
            list.beginStructure();
            list >> shortName >> displayName >> longName;
            list.endStructure();
            names.append(shortName);
        }
        list.endArray();
        return names;
    }

    QString activeLayoutId() override
    {
        const std::optional<QDBusMessage> reply = call(u"getLayout"_s);
        if (!reply || reply->arguments().size() != 1
            || reply->arguments().front().metaType() != QMetaType::fromType<uint>())
            return {};
        const uint index = reply->arguments().front().toUInt();
        const std::optional<QStringList> names = shortNames();
        if (!names || index >= uint(names->size()) || names->at(index).isEmpty())
            return {};
        // The short name alone decides: every variant of "ru" is Russian.
        const QString id = windowsLayoutIdOfXkb(names->at(index), {});
        return id.isEmpty() ? u"kde:"_s + names->at(index) : id;
    }

    void activateNextLayout() override { call(u"switchToNextLayout"_s); }

    bool offersRussian() override
    {
        const std::optional<QStringList> names = shortNames();
        return names && names->contains(u"ru"_s);
    }

private:
    std::optional<QDBusMessage> call(const QString &method)
    {
        const QDBusMessage request = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
        const QDBusMessage reply = bus_.call(request, QDBus::Block, int(timeout_.count()));
        if (reply.type() != QDBusMessage::ReplyMessage) {
            qCWarning(logInput).noquote()
                << "org.kde.keyboard" << method << "failed:" << reply.errorName() << reply.errorMessage();
            return std::nullopt;
        }
        return reply;
    }

    QDBusConnection bus_;
    std::chrono::milliseconds timeout_;
};

}  // namespace

std::unique_ptr<KeyboardLayout> makeKdeKeyboardLayout(const QDBusConnection &bus, std::chrono::milliseconds timeout)
{
    if (!bus.isConnected())
        return nullptr;
    auto layout = std::make_unique<KdeKeyboardLayout>(bus, timeout);
    if (!layout->shortNames())
        return nullptr;
    return layout;
}

}  // namespace qm
