#include "numbered_act.h"

#include "archive/empty_archive.h"
#include "archive/save_act.h"
#include "common/taxpayer_number.h"

#include <QDate>

#include <cstdint>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

// Stable across processes (qHash is seeded per process).
std::uint64_t fingerprint(const QString &id)
{
    std::uint64_t hash = 1469598103934665603ULL;
    for (const QChar c : id) {
        hash ^= c.unicode();
        hash *= 1099511628211ULL;
    }
    return hash;
}

const QStringList kModels{u"ЭЛВЕС-МИКРО-К"_s, u"Меркурий-115Ф"_s};
const QStringList kMechanics{u"Иванов И.И."_s, u"Петров П.П."_s};
const QStringList kOperations{u"Заполнение ЭКЛЗ"_s, u"Неисправность ЭКЛЗ"_s};

struct Derived {
    QDate date;
    int model;
    int mechanic;
    int operation;
    QString year;
    QString inn;
    QString registration;
    QString organisation;
    bool preserved;
    bool readable;
};

// A person's ИНН with sound check digits, so that printing the act asks
// nothing about it: ten digits from the fingerprint, and the one pair of
// check digits that fits them.
QString soundTaxpayerNumber(std::uint64_t h)
{
    const QString first = u"%1"_s.arg(h % 10000000000ULL, 10, 10, QChar(u'0'));
    for (int check = 0; check < 100; ++check) {
        const QString candidate = first + u"%1"_s.arg(check, 2, 10, QChar(u'0'));
        if (taxpayerNumberCheckDigitsHold(candidate))
            return candidate;
    }
    return first;
}

Derived derive(const QString &id)
{
    const std::uint64_t h = fingerprint(id);
    Derived d;
    d.date = QDate(2020, 1, 1).addDays(qint64(h % 3000));
    d.model = int((h >> 12) & 1);
    d.mechanic = int((h >> 13) & 1);
    d.operation = int((h >> 14) & 1);
    d.year = QString::number(1995 + (h >> 16) % 30);
    d.inn = soundTaxpayerNumber(h >> 8);
    d.registration = u"%1"_s.arg((h >> 20) % 10000000000ULL, 10, 10, QChar(u'0'));
    d.organisation = u"ООО «Акт %1»"_s.arg(id);
    d.preserved = (h >> 40) & 1;
    d.readable = (h >> 41) & 1;
    return d;
}

}  // namespace

ActData NumberedAct::value() const
{
    const Derived d = derive(id);
    ActData act;
    act.date = QDateTime(d.date, QTime(12, 0));
    act.registerModel = kModels[d.model];
    act.mechanic = kMechanics[d.mechanic];
    act.operationType = kOperations[d.operation];
    act.serialNumber = id;
    act.yearMade = d.year;
    act.inn = d.inn;
    act.registrationNumber = d.registration;
    act.customer = d.organisation;
    act.contentsPreserved = d.preserved;
    act.readable = d.readable;
    return act;
}

QStringList NumberedAct::storedFields() const
{
    const Derived d = derive(id);
    return {archiveDateText(d.date),
            kMechanics[d.mechanic],
            kModels[d.model],
            id,
            d.year,
            kOperations[d.operation],
            d.inn,
            d.registration,
            d.organisation,
            d.preserved ? u"1"_s : u"0"_s,
            d.readable ? u"1"_s : u"0"_s};
}

QStringList archiveColumnsInFileOrder()
{
    QStringList names;
    for (const DbfField &field : archiveFieldLayout())
        names << field.name;
    return names;
}

void saveActs(Archive &archive, const QStringList &ids)
{
    for (const QString &id : ids)
        SaveActToArchive(NumberedAct{id}.value(), archive);
}

QList<QStringList> actsNamed(const QStringList &ids)
{
    QList<QStringList> acts;
    for (const QString &id : ids)
        acts << NumberedAct{id}.storedFields();
    return acts;
}

}  // namespace qm::test
