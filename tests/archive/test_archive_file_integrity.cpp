#include "archive/archive_snapshot.h"
#include "archive/dbf_archive.h"
#include "archive/dbf_code_page.h"
#include "archive/dbf_header.h"
#include "archive/empty_archive.h"
#include "archive_test_helpers.h"
#include "common/failure.h"
#include "support/temp_program_folder.h"

#include <QDate>
#include <QProcess>
#include <QStringDecoder>
#include <QTest>
#include <QtEndian>

#include <functional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(std::function<void(QByteArray &)>)
Q_DECLARE_METATYPE(std::function<int(int)>)

namespace qm::test {
namespace {

using Damage = std::function<void(QByteArray &)>;
using TailLength = std::function<int(int recordLength)>;

// The layout a new archive is created with; every other test finds its
// positions in the file's own header, so that it holds for any layout.
constexpr int kHeaderLength = 385;
constexpr int kRecordLength = 659;  // MECHNAME and TYPEKKM hold 254 characters each

void setUint16(QByteArray &bytes, int offset, int value)
{
    qToLittleEndian<quint16>(quint16(value), bytes.data() + offset);
}

int descriptorOffset(int fieldIndex)
{
    return kDbfPrefixLength + kDbfDescriptorLength * fieldIndex;
}

DbfHeader headerOf(const QByteArray &bytes)
{
    return parseDbfHeader(bytes, u"QM.dbf"_s);
}

// Where record `index` (from 0, deletion flag first) starts.
int recordAt(const QByteArray &bytes, int index)
{
    const DbfHeader header = headerOf(bytes);
    return header.headerLength + index * header.recordLength;
}

// Where a field of record `index` starts, as the field descriptors place it.
int cellAt(const QByteArray &bytes, int index, QStringView name)
{
    for (const DbfField &field : headerOf(bytes).fields)
        if (field.name == name)
            return recordAt(bytes, index) + field.offset;
    qFatal("no field %s", qPrintable(name.toString()));
}

}  // namespace

class ArchiveFileIntegrityTest : public QObject {
    Q_OBJECT

private:
    TempProgramFolder folder_;
    QString archivePath() const { return folder_.filePath(u"QM.dbf"_s); }
    DbfArchive archive() const { return DbfArchive(folder_.path(), 300ms); }

    // Three committed records, the second deleted: "A", "C" remain.
    QByteArray writeSmallArchive()
    {
        QFile::remove(archivePath());
        createEmptyArchive(archivePath());
        DbfArchive table = archive();
        for (const QString &number : {u"A"_s, u"B"_s, u"C"_s})
            appendRecord(table, {{u"ZAVNUM"_s, number}, {u"E_SOHRAN"_s, true}});
        deleteAt(table, 1);
        return fileBytes(archivePath());
    }

private Q_SLOTS:
    void emptyArchiveLayout()
    {
        QFile::remove(archivePath());
        createEmptyArchive(archivePath());
        const QByteArray bytes = fileBytes(archivePath());
        const DbfHeader header = parseDbfHeader(bytes, archivePath());
        QCOMPARE(int(header.version), 0x03);
        QCOMPARE(header.languageDriver, kDbfLdidWindows1251);
        QCOMPARE(header.recordCount, 0u);
        QCOMPARE(header.lastUpdate, QDate::currentDate());
        QStringList layout;
        for (const DbfField &field : header.fields)
            layout << u"%1 %2%3"_s.arg(field.name, QChar::fromLatin1(field.type)).arg(field.width);
        QCOMPARE(layout,
                 QStringList({u"ACTDATE C10"_s, u"MECHNAME C254"_s, u"TYPEKKM C254"_s, u"ZAVNUM C12"_s, u"GODVYP C4"_s,
                              u"PRICHINA C60"_s, u"INN C12"_s, u"EKLZREG C10"_s, u"NAMEORG C40"_s, u"E_SOHRAN L1"_s,
                              u"E_READABLE L1"_s}));
        QCOMPARE(bytes.size(), kHeaderLength + 1);
        QCOMPARE(header.headerLength, kHeaderLength);
        QCOMPARE(header.recordLength, kRecordLength);
        QCOMPARE(bytes.back(), kDbfEndOfFile);
        DbfArchive table = archive();
        QCOMPARE(CountArchiveRecords(table), 0);
    }

    void makeEmptyArchiveToolNeverOverwrites()
    {
        QFile::remove(archivePath());
        QCOMPARE(QProcess::execute(QStringLiteral(QM_MAKE_EMPTY_ARCHIVE), {archivePath()}), 0);
        const QByteArray created = fileBytes(archivePath());
        QCOMPARE(parseDbfHeader(created, archivePath()).fields.size(), size_t(11));

        writeFileBytes(archivePath(), "not an archive");
        QVERIFY(QProcess::execute(QStringLiteral(QM_MAKE_EMPTY_ARCHIVE), {archivePath()}) != 0);
        QCOMPARE(fileBytes(archivePath()), QByteArray("not an archive"));
    }

    void appendUpdatesHeaderAndEndMark()
    {
        const QByteArray bytes = writeSmallArchive();
        const DbfHeader header = parseDbfHeader(bytes, archivePath());
        QCOMPARE(header.recordCount, 3u);
        QCOMPARE(header.lastUpdate, QDate::currentDate());
        QCOMPARE(bytes.size(), recordAt(bytes, 3) + 1);
        QCOMPARE(bytes.back(), kDbfEndOfFile);
        QCOMPARE(bytes.at(recordAt(bytes, 0)), ' ');
        QCOMPARE(bytes.at(recordAt(bytes, 1)), '*');
    }

    void paddingOfOtherWritersIsStripped()
    {
        QByteArray bytes = writeSmallArchive();
        bytes.replace(cellAt(bytes, 0, u"ZAVNUM"), 12, QByteArray("A \0\0\0\0\0\0\0\0\0\0", 12));
        bytes[cellAt(bytes, 0, u"E_SOHRAN")] = '?';
        writeFileBytes(archivePath(), bytes);
        DbfArchive table = archive();
        QCOMPARE(column(table, u"ZAVNUM"), QStringList({u"A"_s, u"C"_s}));
        QCOMPARE(column(table, u"E_SOHRAN"), QStringList({u"<null>"_s, u"true"_s}));
    }

    void corruptFilesAreRefusedAndNeverWritten_data()
    {
        QTest::addColumn<Damage>("damage");

        QTest::newRow("empty file") << Damage([](QByteArray &b) { b.clear(); });
        QTest::newRow("shorter than a header") << Damage([](QByteArray &b) { b.truncate(20); });
        QTest::newRow("unknown version") << Damage([](QByteArray &b) { b[0] = char(0x30); });
        QTest::newRow("count larger than the file") << Damage([](QByteArray &b) { b[4] = char(200); });
        QTest::newRow("count larger than any file")
            << Damage([](QByteArray &b) { b.replace(4, 4, "\xF0\xFF\xFF\xFF"); });
        QTest::newRow("record cut short") << Damage([](QByteArray &b) { b.truncate(b.size() - 50); });
        QTest::newRow("two records past the count") << Damage([](QByteArray &b) {
            b.chop(1);
            b += b.mid(recordAt(b, 0), recordAt(b, 2) - recordAt(b, 0)) + kDbfEndOfFile;
        });
        QTest::newRow("header length past the file") << Damage([](QByteArray &b) { setUint16(b, 8, 0xFFF0); });
        QTest::newRow("no terminator") << Damage(
            [](QByteArray &b) { b[descriptorOffset(int(headerOf(b).fields.size()))] = 'X'; });
        QTest::newRow("record length not the sum of widths")
            << Damage([](QByteArray &b) { setUint16(b, 10, headerOf(b).recordLength - 1); });
        QTest::newRow("field past the record length")
            << Damage([](QByteArray &b) { b[descriptorOffset(int(headerOf(b).fields.size()) - 1) + 16] = char(5); });
        QTest::newRow("unknown field type") << Damage([](QByteArray &b) { b[descriptorOffset(3) + 11] = 'X'; });
        QTest::newRow("memo field") << Damage([](QByteArray &b) { b[descriptorOffset(3) + 11] = 'M'; });
        QTest::newRow("zero width") << Damage([](QByteArray &b) { b[descriptorOffset(0) + 16] = 0; });
        QTest::newRow("empty field name") << Damage([](QByteArray &b) { b[descriptorOffset(2)] = 0; });
        QTest::newRow("same field twice") << Damage([](QByteArray &b) { b.replace(descriptorOffset(4), 6, "ZAVNUM"); });
        QTest::newRow("flag neither space nor star") << Damage([](QByteArray &b) { b[recordAt(b, 2)] = 'D'; });
    }

    void corruptFilesAreRefusedAndNeverWritten()
    {
        QFETCH(Damage, damage);
        QByteArray bytes = writeSmallArchive();
        damage(bytes);
        writeFileBytes(archivePath(), bytes);

        DbfArchive table = archive();
        for (const ArchiveAccess access : {ArchiveAccess::Writable, ArchiveAccess::ReadOnly}) {
            try {
                const auto records = table.open(access);
                if (access == ArchiveAccess::Writable) {
                    records->addNew();
                    records->update();
                }
                QFAIL("a damaged file was opened");
            } catch (const Failure &failure) {
                QCOMPARE(failure.number(), FailureCode::TableCorrupt);
                QVERIFY2(failure.description().contains(archivePath()), qPrintable(failure.description()));
            }
        }
        // The archive window's reading says the same, whatever the header claims.
        try {
            table.snapshot();
            QFAIL("a damaged file was listed");
        } catch (const Failure &failure) {
            QCOMPARE(failure.number(), FailureCode::TableCorrupt);
        }
        QCOMPARE(fileBytes(archivePath()), bytes);
    }

    void interruptedAppendIsIgnoredThenReplaced_data()
    {
        QTest::addColumn<TailLength>("tailLength");
        QTest::newRow("whole record and end mark") << TailLength([](int length) { return length + 1; });
        QTest::newRow("whole record, no end mark") << TailLength([](int length) { return length; });
        QTest::newRow("half a record") << TailLength([](int length) { return length / 2; });
        QTest::newRow("the flag alone") << TailLength([](int) { return 1; });
    }

    void interruptedAppendIsIgnoredThenReplaced()
    {
        QFETCH(TailLength, tailLength);
        QByteArray bytes = writeSmallArchive();
        const int committedEnd = recordAt(bytes, 3);
        bytes.chop(1);  // the end mark: the interrupted append wrote over it
        bytes += bytes.mid(recordAt(bytes, 0), headerOf(bytes).recordLength) + kDbfEndOfFile;
        bytes[cellAt(bytes, 3, u"ZAVNUM")] = 'Z';  // the record that never got committed
        DbfArchive table = archive();
        // Once committed, the very same bytes read as the act "Z".
        QByteArray committed = bytes;
        qToLittleEndian<quint32>(4, committed.data() + 4);
        writeFileBytes(archivePath(), committed);
        QCOMPARE(column(table, u"ZAVNUM"), QStringList({u"A"_s, u"C"_s, u"Z"_s}));
        writeFileBytes(archivePath(), bytes.left(committedEnd + tailLength(headerOf(bytes).recordLength)));

        QCOMPARE(column(table, u"ZAVNUM"), QStringList({u"A"_s, u"C"_s}));
        appendRecord(table, {{u"ZAVNUM"_s, u"D"_s}});
        QCOMPARE(column(table, u"ZAVNUM"), QStringList({u"A"_s, u"C"_s, u"D"_s}));
        const QByteArray after = fileBytes(archivePath());
        QCOMPARE(after.size(), recordAt(after, 4) + 1);
        QCOMPARE(after.back(), kDbfEndOfFile);
    }

    void dateColumnReadsAndWritesTheSameDate()
    {
        folder_.copyFixture(u"archive/xbase_date_column.dbf"_s, u"QM.dbf"_s);
        DbfArchive table = archive();
        QCOMPARE(column(table, u"ACTDATE"), QStringList({u"2012-01-06"_s, u"<null>"_s}));

        appendRecord(table, {{u"ACTDATE"_s, u"5.3.2012"_s}});
        appendRecord(table, {{u"ACTDATE"_s, u"31.12.2012"_s}});
        const QByteArray bytes = fileBytes(archivePath());
        QVERIFY(bytes.contains("20120305"));
        const auto records = table.open(ArchiveAccess::ReadOnly);
        records->skip(3);
        QCOMPARE(records->value(u"ACTDATE"), QVariant(QDate(2012, 12, 31)));
        records->close();

        try {
            appendRecord(table, {{u"ACTDATE"_s, u"31.2.2012"_s}});
            QFAIL("an impossible date was stored");
        } catch (const Failure &failure) {
            QCOMPARE(failure.number(), FailureCode::TypeMismatch);
            QVERIFY(failure.description().contains(u"ACTDATE"));
        }
        QCOMPARE(fileBytes(archivePath()), bytes);
    }

    // Cells are decoded through a table made once from the converter: every
    // byte must come out as the converter gives it in a run of text.
    void everyByteDecodesAsTheConverterDoes()
    {
        QByteArray allBytes;
        for (int byte = 0; byte < 256; ++byte)
            allBytes.append(char(byte));
        for (const auto &[name, codePage] :
             {std::pair{"windows-1251", DbfCodePage::Windows1251}, std::pair{"IBM866", DbfCodePage::Cp866}}) {
            QStringDecoder converter(name, QStringConverter::Flag::Stateless);
            QCOMPARE(decodeDbfText(allBytes, codePage), converter.decode(allBytes));
        }
    }

    void dosCodePageIsReadAndWritten()
    {
        folder_.copyFixture(u"archive/xbase_cp866.dbf"_s, u"QM.dbf"_s);
        DbfArchive table = archive();
        QCOMPARE(column(table, u"NAMEORG"), QStringList({u"ООО \"Ромашка\""_s}));
        QCOMPARE(column(table, u"PRICHINA"), QStringList({u"Замена ЭКЛЗ"_s}));

        appendRecord(table, {{u"NAMEORG"_s, u"Ёлка и Щука"_s}});
        QCOMPARE(column(table, u"NAMEORG").last(), u"Ёлка и Щука"_s);
        QStringDecoder dos("IBM866");
        QVERIFY(QString(dos.decode(fileBytes(archivePath()))).contains(u"Ёлка и Щука"));
        try {
            appendRecord(table, {{u"NAMEORG"_s, u"ООО «Ромашка»"_s}});  // no guillemets in 866
            QFAIL("text the code page cannot hold was stored");
        } catch (const Failure &failure) {
            QCOMPARE(failure.number(), FailureCode::TypeMismatch);
            QVERIFY(failure.description().contains(u"NAMEORG"));
        }
    }
};

}  // namespace qm::test

QTEST_GUILESS_MAIN(qm::test::ArchiveFileIntegrityTest)
#include "test_archive_file_integrity.moc"
