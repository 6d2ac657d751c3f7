#pragma once

#include <QString>
#include <QTemporaryDir>

namespace qm::test {

// A throw-away program folder: the settings file, the template and the archive
// a test needs are copied or written into it.
class TempProgramFolder {
public:
    TempProgramFolder();

    QString path() const { return dir_.path(); }
    QString filePath(const QString &name) const { return dir_.filePath(name); }

    // Writes the settings file from UTF-8 text, converted to Windows-1251.
    void writeSettings(const QString &text) const;
    // Writes any file from raw bytes.
    void writeFile(const QString &name, const QByteArray &bytes) const;
    // Copies a file from tests/data (fixture) into the folder under a new name.
    void copyFixture(const QString &fixture, const QString &name) const;
    // Copies a shipped data file (data/) into the folder under its own name.
    void copyShipped(const QString &name) const;

private:
    QTemporaryDir dir_;
};

}  // namespace qm::test
