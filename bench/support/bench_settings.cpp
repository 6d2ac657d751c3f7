#include "support/bench_settings.h"

#include <QFile>

#include <stdexcept>

namespace qm::bench {

void turnOfficeAheadOff(const QString &settingsPath)
{
    QFile file(settingsPath);
    if (!file.open(QIODevice::ReadWrite))
        throw std::runtime_error("cannot change the settings file " + settingsPath.toStdString());
    QByteArray text = file.readAll();
    // The reader takes the first [System] section only: the key goes into it.
    if (!text.contains("[System]"))
        throw std::runtime_error("no [System] section in " + settingsPath.toStdString());
    const QByteArray lineEnd = text.contains("\r\n") ? "\r\n" : "\n";
    text.replace("[System]", "[System]" + lineEnd + "OfficeAhead=0");
    file.resize(0);
    file.write(text);
}

}  // namespace qm::bench
