#include "support/temp_program_folder.h"

#include "common/windows1251.h"

#include <QFile>
#include <QTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + path.toStdString());
}

void copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw std::runtime_error("cannot copy " + from.toStdString() + " to " + to.toStdString());
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

}  // namespace

TempProgramFolder::TempProgramFolder()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

void TempProgramFolder::writeSettings(const QString &text) const
{
    const auto bytes = toWindows1251(text);
    if (!bytes)
        throw std::runtime_error("settings text is not Windows-1251");
    writeBytes(filePath(u"Quillmarch.ini"_s), *bytes);
}

void TempProgramFolder::writeFile(const QString &name, const QByteArray &bytes) const
{
    writeBytes(filePath(name), bytes);
}

void TempProgramFolder::copyFixture(const QString &fixture, const QString &name) const
{
    copyFile(QStringLiteral(QM_TEST_DATA_DIR) + u'/' + fixture, filePath(name));
}

void TempProgramFolder::copyShipped(const QString &name) const
{
    copyFile(QStringLiteral(QM_SHIPPED_DATA_DIR) + u'/' + name, filePath(name));
}

}  // namespace qm::test
