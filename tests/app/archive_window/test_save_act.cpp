// What a save stores: the values handed to the archive and the bytes that
// reach QM.dbf, for the cases where placeholders, padding and formats matter.

#include "archive_test_fixture.h"

#include "archive/dbf_header.h"
#include "archive/save_act.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

// Keeps every value a save sets, so the exact texts can be checked before the
// storage pads or trims them.
class RecordingRecordSet final : public ArchiveRecordSet {
public:
    explicit RecordingRecordSet(ArchiveRow &stored) : stored_(stored) {}
    int recordCount() const override { return 1; }
    bool atEnd() const override { return true; }
    void moveNext() override {}
    quint32 recordNumber() const override { return 1; }
    QVariant value(QStringView) const override { return {}; }
    std::optional<int> textWidth(QStringView) const override { return std::nullopt; }
    void addNew() override {}
    void setValue(QStringView fieldName, const QVariant &value) override
    {
        stored_.insert(fieldName.toString(), value);
    }
    void update() override {}
    void skip(int) override {}
    void deleteCurrent() override {}
    bool moveToRecordNumber(quint32) override { return false; }
    quint64 recordDigest() const override { return 0; }
    void close() override {}

private:
    ArchiveRow &stored_;
};

class RecordingArchive final : public Archive {
public:
    std::unique_ptr<ArchiveRecordSet> open(ArchiveAccess) override
    {
        return std::make_unique<RecordingRecordSet>(stored);
    }
    std::unique_ptr<ArchiveSnapshot> snapshot() override { throw Failure(FailureCode::ItemNotFound, u"нет"_s); }
    ArchiveRow stored;
};

// The raw cell of the last record in QM.dbf, padding included.
QByteArray rawCell(const QString &path, QStringView fieldName)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    const QByteArray bytes = file.readAll();
    const DbfHeader header = parseDbfHeader(bytes, path);
    const qint64 lastRecord = header.headerLength + qint64(header.recordCount - 1) * header.recordLength;
    for (const DbfField &field : header.fields) {
        if (field.name == fieldName)
            return bytes.mid(lastRecord + field.offset, field.width);  // the offset counts the deletion flag
    }
    return "<no field>";
}

// A saved act's values and the cells expected of it in QM.dbf.
struct StoredAct {
    int recordsBefore;
    QDate date;
    QString registration;
    bool preserved, readable;
    QByteArray dateCell, registrationCell, logicalCells;
};

ActData emptyAct()
{
    ActData act;
    act.contentsPreserved = false;
    act.readable = false;
    act.date = QDateTime(QDate(2012, 3, 5), QTime(18, 30));
    return act;
}

}  // namespace

class SaveActTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyActStoresPlaceholders();
    void storedBytes_data();
    void storedBytes();
};

void SaveActTest::emptyActStoresPlaceholders()
{
    ActData act = emptyAct();
    act.taxInspectorate = u"46"_s;
    RecordingArchive archive;

    SaveActToArchive(act, archive);

    const ArchiveRow expected{
        {ArchiveField::ACTDATE.toString(), u"5.3.2012"_s},
        {ArchiveField::MECHNAME.toString(), QString()},
        {ArchiveField::TYPEKKM.toString(), u" "_s},
        {ArchiveField::ZAVNUM.toString(), u" "_s},
        {ArchiveField::GODVYP.toString(), u" "_s},
        {ArchiveField::PRICHINA.toString(), u" "_s},
        {ArchiveField::E_SOHRAN.toString(), false},
        {ArchiveField::E_READABLE.toString(), false},
        {ArchiveField::INN.toString(), u" "_s},
        {ArchiveField::EKLZREG.toString(), u"          "_s},
        {ArchiveField::NAMEORG.toString(), u" "_s},
    };
    QCOMPARE(archive.stored.keys().size(), expected.size());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(archive.stored.value(it.key()), it.value());
}

void SaveActTest::storedBytes_data()
{
    QTest::addColumn<StoredAct>("row");
    QTest::newRow("one-digit day and month, seven-digit number, ticked and not")
        << StoredAct{0, QDate(2012, 3, 5), u"1234567"_s, true, false, "5.3.2012  ", "1234567   ", "TF"};
    QTest::newRow("two-digit day and month, empty number, not and ticked")
        << StoredAct{2, QDate(2012, 12, 31), QString(), false, true, "31.12.2012", "          ", "FT"};
    QTest::newRow("ten-digit number") << StoredAct{1,    QDate(2009, 10, 1), u"0123456789"_s, true,
                                                   true, "1.10.2009 ",       "0123456789",    "TT"};
}

void SaveActTest::storedBytes()
{
    QFETCH(StoredAct, row);
    const auto &[recordsBefore, date, registration, preserved, readable, dateCell, registrationCell, logicalCells]
        = row;
    ArchiveWorld world;
    for (int n = 1; n <= recordsBefore; ++n)
        world.append(sampleRow(n));
    ActData act = emptyAct();
    act.date.setDate(date);
    act.registrationNumber = registration;
    act.contentsPreserved = preserved;
    act.readable = readable;

    const SavedAct saved = SaveActToArchive(act, world.archive);
    QCOMPARE(saved.recordCount, recordsBefore + 1);
    // No record was ever deleted here, so the new one is the last in the file.
    QCOMPARE(saved.recordNumber, quint32(recordsBefore + 1));
    const QString path = world.folder.filePath(u"QM.dbf"_s);
    QCOMPARE(rawCell(path, ArchiveField::ACTDATE), dateCell);
    QCOMPARE(rawCell(path, ArchiveField::EKLZREG), registrationCell);
    QCOMPARE(rawCell(path, ArchiveField::E_SOHRAN) + rawCell(path, ArchiveField::E_READABLE), logicalCells);
    // Empty texts reach the file as blank cells, never as anything else.
    for (QStringView field :
         {ArchiveField::MECHNAME, ArchiveField::TYPEKKM, ArchiveField::ZAVNUM, ArchiveField::NAMEORG}) {
        const QByteArray cell = rawCell(path, field);
        QVERIFY2(!cell.isEmpty() && cell.count(' ') == cell.size(), cell.constData());
    }
}

}  // namespace qm::test

QTEST_MAIN(qm::test::SaveActTest)
#include "test_save_act.moc"
