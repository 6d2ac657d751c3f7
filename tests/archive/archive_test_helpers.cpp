#include "archive_test_helpers.h"

#include <QFile>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace qm::test {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void writeFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void appendRecord(Archive &archive, const FieldValues &values)
{
    const auto records = archive.open(ArchiveAccess::Writable);
    records->addNew();
    for (const auto &[name, value] : values)
        records->setValue(name, value);
    records->update();
    records->close();
}

QStringList column(Archive &archive, QStringView field)
{
    QStringList result;
    const auto records = archive.open(ArchiveAccess::ReadOnly);
    for (; !records->atEnd(); records->moveNext()) {
        const QVariant value = records->value(field);
        result << (value.isNull() ? u"<null>"_s : value.toString());
    }
    return result;
}

void deleteAt(Archive &archive, int position)
{
    const auto records = archive.open(ArchiveAccess::Writable);
    records->skip(position);
    records->deleteCurrent();
    records->update();
    records->close();
}

}  // namespace qm::test
