#pragma once

#include <QObject>

#include <cstdint>

class QWidget;

namespace qm::bench {

// Watches a top-level window and, at its first paint, writes to a pipe how long
// this process took from main() to that paint (and how long the program's own
// start-up took, when given), then ends the event loop. The parent process
// times the whole start from its side of the pipe.
class FirstPaintReport final : public QObject {
public:
    FirstPaintReport(QWidget *window, int pipeFd, std::int64_t mainStartedNs);

    void setStartupNanoseconds(std::int64_t nanoseconds) { startupNs_ = nanoseconds; }
    // How long the process goes on after the paint, so that what the window
    // does right after it (starting the office ahead) runs too.
    void setQuitDelayMilliseconds(int milliseconds) { quitDelayMs_ = milliseconds; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window_;
    int pipeFd_;
    std::int64_t mainStartedNs_;
    std::int64_t startupNs_ = 0;
    int quitDelayMs_ = 0;
    bool reported_ = false;
};

// Arguments of a child started by the start-up benchmark: <pipe fd> [extra],
// the extra being the program folder or the kind of bare window.
struct ChildArguments {
    int pipeFd = -1;
    QString extra;
};
ChildArguments parseChildArguments(int argc, char *argv[]);

}  // namespace qm::bench
