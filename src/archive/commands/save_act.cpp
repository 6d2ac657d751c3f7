#include "archive/commands/save_act.h"

#include "archive/archive_table.h"
#include "common/failure.h"

#include <QHash>

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

// What the mechanic calls the field whose value does not fit.
QString fieldCaption(QStringView field)
{
    using namespace ArchiveField;
    if (field == MECHNAME) return u"Механик"_s;
    if (field == TYPEKKM) return u"Модель ККМ"_s;
    if (field == ZAVNUM) return u"Заводской номер"_s;
    if (field == GODVYP) return u"Год выпуска"_s;
    if (field == PRICHINA) return u"Тип операции"_s;
    if (field == INN) return u"ИНН"_s;
    if (field == EKLZREG) return u"Регистрационный номер ЭКЛЗ"_s;
    if (field == NAMEORG) return u"Организация"_s;
    return field.toString();
}

}  // namespace

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
    return saved;
}

MessageRequest backupFailureMessage(const Failure &failure)
{
    MessageRequest request;
    request.title = u"Quillmarch"_s;
    request.text = u"Ошибка %1\r\n\r\n%2\r\n\r\nАкт сохранён в архиве. Освободите место на диске или дайте "
                   "доступ к папке backup: копия будет сделана при сохранении следующего акта."_s
                       .arg(failure.number())
                       .arg(failure.description());
    request.icon = PromptIcon::Warning;
    request.buttons = PromptButtons::Ok;
    return request;
}

void CheckActFitsArchive(const ActData &act, Archive &archive)
{
    // Only widths that can be read now are checked. An archive that cannot be
    // opened at this moment is reported by the save itself, which the mechanic
    // may repeat once the archive is back.
    QHash<QStringView, int> widths;
    try {
        const auto records = archive.open(ArchiveAccess::ReadOnly);
        for (const ArchiveCell &cell : archiveRecordOf(act)) {
            if (const std::optional<int> width = records->textWidth(cell.field))
                widths.insert(cell.field, *width);
        }
        records->close();
    } catch (const Failure &) {
        return;
    }

    for (const ArchiveCell &cell : archiveRecordOf(act)) {
        if (cell.value.metaType().id() != QMetaType::QString || !widths.contains(cell.field))
            continue;
        const int width = widths.value(cell.field);
        const qsizetype length = cell.value.toString().size();
        if (length > width) {
            throw Failure(FailureCode::FieldTooSmall,
                          u"Поле «%1» (%2 знаков) не помещается в столбец %3 архива QM.dbf шириной %4 знаков. "
                          "Акт не напечатан и не сохранён."_s
                              .arg(fieldCaption(cell.field))
                              .arg(length)
                              .arg(cell.field.toString())
                              .arg(width));
        }
    }
}

}  // namespace qm
