#include "archive_contents.h"

#include "archive/archive_table.h"
#include "archive/dbf_archive.h"
#include "common/windows1251.h"
#include "numbered_act.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace qm::test {

QList<QStringList> storedRecords(Archive &archive)
{
    const QStringList columns = archiveColumnsInFileOrder();
    QList<QStringList> records;
    const auto set = archive.open(ArchiveAccess::ReadOnly);
    for (; !set->atEnd(); set->moveNext()) {
        QStringList fields;
        for (const QString &column : columns) {
            const QVariant value = set->value(column);
            if (value.isNull())
                fields << u"<null>"_s;
            else if (value.typeId() == QMetaType::Bool)
                fields << (value.toBool() ? u"1"_s : u"0"_s);
            else
                fields << value.toString();
        }
        records << fields;
    }
    set->close();
    return records;
}

QList<QStringList> storedRecords(const QString &dbfPath)
{
    // The archive code opens QM.dbf of a folder: a folder of its own beside the file.
    const QTemporaryDir folder(QFileInfo(dbfPath).absolutePath() + u"/.open-XXXXXX"_s);
    QFile::copy(dbfPath, folder.filePath(u"QM.dbf"_s));
    DbfArchive archive(folder.path());
    return storedRecords(archive);
}

bool xbaseAvailable()
{
    return !QStandardPaths::findExecutable(u"dbf_dump"_s).isEmpty();
}

QList<QStringList> recordsByXBase(const QString &dbfPath)
{
    const QString dbfDump = QStandardPaths::findExecutable(u"dbf_dump"_s);
    if (dbfDump.isEmpty())
        return {};
    QProcess process;
    process.start(dbfDump, {u"--fs"_s, u"|"_s, dbfPath});
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {{u"dbf_dump failed: "_s + QString::fromLocal8Bit(process.readAllStandardError())}};
    QList<QStringList> records;
    const QStringList lines = fromWindows1251(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines)
        records << line.split(u'|');
    return records;
}

QStringList withoutTrailingSpaces(QStringList fields)
{
    for (QString &field : fields) {
        qsizetype end = field.size();
        while (end > 0 && field.at(end - 1) == u' ')
            --end;
        field.truncate(end);
    }
    return fields;
}

QString tornRecords(const QList<QStringList> &records)
{
    const int idColumn = int(archiveColumnsInFileOrder().indexOf(u"ZAVNUM"_s));
    QString problems;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QStringList &record = records[i];
        const QString id = record.value(idColumn);
        const QStringList expected = NumberedAct{id}.storedFields();
        if (record != expected)
            problems
                += u"record %1: [%2] is not act %3 [%4]\n"_s.arg(i).arg(record.join(u'|'), id, expected.join(u'|'));
    }
    return problems;
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "missing";
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

}  // namespace qm::test
