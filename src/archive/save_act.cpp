#include "archive/save_act.h"

#include "archive/archive_table.h"
#include "common/failure.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

constexpr qsizetype kRegistrationNumberWidth = 10;

// The archive keeps a single space for an empty field, so that old readers
// never see an empty text where a value is expected.
QString textOrPlaceholder(const QString &text)
{
    return text.isEmpty() ? u" "_s : text;
}

QString sentence(const QString &text)
{
    return text.endsWith(u'.') ? text : text + u'.';
}

const QString kNothingDone = u" Акт не напечатан и не сохранён."_s;

// Opening failures that stay until someone repairs the archive or its rights.
// A missing file, a lock held elsewhere or a passing read error may be gone
// by the time the mechanic asks again.
bool lastsUntilRepaired(int number)
{
    return number == FailureCode::TableCorrupt || number == FailureCode::PermissionDenied;
}

}  // namespace

QString archiveFieldCaption(QStringView field)
{
    using namespace ArchiveField;
    if (field == ACTDATE)
        return u"Дата"_s;
    if (field == MECHNAME)
        return u"Механик"_s;
    if (field == TYPEKKM)
        return u"Модель ККМ"_s;
    if (field == ZAVNUM)
        return u"Зав. №"_s;
    if (field == GODVYP)
        return u"Год вып."_s;
    if (field == PRICHINA)
        return u"Вид операции"_s;
    if (field == E_SOHRAN)
        return u"Содержимое ЭКЛЗ сохранилось"_s;
    if (field == E_READABLE)
        return u"прочесть возможно"_s;
    if (field == INN)
        return u"ИНН"_s;
    if (field == EKLZREG)
        return u"Регистр. № ЭКЛЗ"_s;
    if (field == NAMEORG)
        return u"Заказчик"_s;
    return field.toString();
}

QString archiveDateText(const QDate &date)
{
    return u"%1.%2.%3"_s.arg(date.day()).arg(date.month()).arg(date.year());
}

QString paddedRegistrationNumber(const QString &text)
{
    return text.left(kRegistrationNumberWidth).leftJustified(kRegistrationNumberWidth, u' ');
}

QList<ArchiveCell> archiveRecordOf(const ActData &act)
{
    using namespace ArchiveField;
    return {
        {ACTDATE, archiveDateText(act.date.date())},
        {MECHNAME, chosenText(act.mechanic)},
        {TYPEKKM, textOrPlaceholder(chosenText(act.registerModel))},
        {ZAVNUM, textOrPlaceholder(act.serialNumber)},
        {GODVYP, textOrPlaceholder(act.yearMade)},
        {PRICHINA, textOrPlaceholder(chosenText(act.operationType))},
        {E_SOHRAN, act.contentsPreserved},
        {E_READABLE, act.readable},
        {INN, textOrPlaceholder(act.inn)},
        {EKLZREG, paddedRegistrationNumber(act.registrationNumber)},
        {NAMEORG, textOrPlaceholder(act.customer)},
    };
}

SavedAct SaveActToArchive(const ActData &act, Archive &archive)
{
    // Before the archive is opened for writing: the copy must not hold the
    // lock that other workstations wait for.
    ArchiveBackupResult backup = archive.backUpBeforeAppend();
    const auto records = archive.open(ArchiveAccess::Writable);
    records->addNew();
    for (const ArchiveCell &cell : archiveRecordOf(act))
        records->setValue(cell.field, cell.value);
    records->update();
    SavedAct saved;
    saved.recordCount = records->recordCount();
    saved.recordNumber = records->recordNumber();
    records->close();
    saved.backupMade = backup.made;
    saved.backupFailure = std::move(backup.failure);
    saved.oldBackupsLeft = backup.oldCopiesLeft;
    return saved;
}

void checkArchiveTakesAct(const ActData &act, Archive &archive)
{
    std::unique_ptr<ArchiveRecordSet> records;
    try {
        records = archive.open(ArchiveAccess::Writable);
    } catch (const Failure &failure) {
        if (!lastsUntilRepaired(failure.number()))
            throw;
        throw ArchiveRefusesAct(failure.number(), sentence(failure.description()) + kNothingDone,
                                failure.technicalDetail());
    }
    records->addNew();
    for (const ArchiveCell &cell : archiveRecordOf(act)) {
        try {
            records->setValue(cell.field, cell.value);
        } catch (const Failure &failure) {
            throw ArchiveRefusesAct(failure.number(),
                                    u"Поле «%1» нельзя сохранить в архиве. %2"_s.arg(archiveFieldCaption(cell.field),
                                                                                     sentence(failure.description()))
                                        + kNothingDone,
                                    failure.technicalDetail());
        }
    }
    // Without update() nothing reaches the file; closing gives the record up.
    records->close();
}

}  // namespace qm
