#pragma once

#include <QStringList>
#include <QtGlobal>

namespace qm::test {

// Collects what the program logs while it exists, one "category: message"
// line per entry, and lets it through to the previous handler as well.
class LogCapture {
public:
    LogCapture() : previous_(qInstallMessageHandler(&LogCapture::handle)) { current_ = this; }
    ~LogCapture()
    {
        qInstallMessageHandler(previous_);
        current_ = nullptr;
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines;

    QString joined() const { return lines.join(u'\n'); }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (current_) {
            current_->lines << QString::fromLatin1(context.category ? context.category : "default")
                    + QStringLiteral(": ") + message;
            if (current_->previous_)
                current_->previous_(type, context, message);
        }
    }

    static inline LogCapture *current_ = nullptr;
    QtMessageHandler previous_;
};

}  // namespace qm::test
