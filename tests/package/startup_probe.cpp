// Preloaded (LD_PRELOAD) into a program under test that runs on Qt's offscreen
// platform, where nobody can look at its windows. Once the event loop runs, it
// writes what the windows show to the file named by QM_PROBE_REPORT, one line
// per window, fields separated by tabs:
//   message <title> <text>         a message box; it is then answered with OK
//   window <title> <status texts>  the main window, its status bar panels
//                                  joined by " | "; the program is then ended
//                                  the way "Выход" ends it.
// The program itself carries nothing for tests.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QSet>
#include <QStatusBar>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

class StartupProbe final : public QObject {
public:
    explicit StartupProbe(QObject *parent) : QObject(parent)
    {
        timer_.setInterval(50);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { look(); });
        // Posted: the event dispatcher may not exist yet while the application
        // object is being made.
        QMetaObject::invokeMethod(&timer_, qOverload<>(&QTimer::start), Qt::QueuedConnection);
    }

private:
    void look()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (!widget->isVisible())
                continue;
            if (auto *box = qobject_cast<QMessageBox *>(widget)) {
                report({u"message"_s, box->windowTitle(), box->text()});
                box->accept();
                return;
            }
            if (auto *window = qobject_cast<QMainWindow *>(widget)) {
                QStringList panels;
                for (const QLabel *panel : window->statusBar()->findChildren<QLabel *>())
                    panels << panel->text();
                report({u"window"_s, window->windowTitle(), panels.join(u" | "_s)});
                timer_.stop();
                window->close();
                return;
            }
        }
    }

    static void report(QStringList fields)
    {
        QFile file(qEnvironmentVariable("QM_PROBE_REPORT"));
        if (!file.open(QIODevice::Append | QIODevice::Text))
            qFatal("startup probe: cannot write its report");
        for (QString &field : fields)
            field.replace(u'\n', u"\\n"_s).replace(u'\t', u' ');
        file.write((fields.join(u'\t') + u'\n').toUtf8());
    }

    QTimer timer_;
};

void startProbe()
{
    if (!qEnvironmentVariableIsEmpty("QM_PROBE_REPORT"))
        new StartupProbe(QCoreApplication::instance());
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(startProbe)
