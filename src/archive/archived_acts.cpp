#include "archive/archived_acts.h"

#include "archive/archive_record_text.h"
#include "archive/archive_snapshot.h"
#include "archive/archive_table.h"
#include "archive/save_act.h"
#include "common/act_files.h"

using namespace Qt::StringLiterals;

namespace qm {
namespace {

// Null is kept apart from any stored text: the main window does something
// particular for it.
std::optional<QString> storedText(const QVariant &value)
{
    return value.isNull() ? std::nullopt : std::optional<QString>(archiveFieldText(value));
}

// A field as stored; one that cannot be read (a damaged date or number of an
// older archive) stops the recall with its name, before the form is touched.
QVariant readField(const ArchiveRecordSet &records, QStringView field)
{
    try {
        return records.value(field);
    } catch (const Failure &failure) {
        throw Failure(failure.number(),
                      u"Поле «%1» этого акта в архиве не читается, поэтому акт не вызван: форма не изменена. %2"_s.arg(
                          archiveFieldCaption(field), failure.description()),
                      failure.technicalDetail());
    }
}

QString textOrEmpty(const ArchiveRecordSet &records, QStringView field)
{
    return archiveFieldTextOr(records, field, QString());
}

}  // namespace

ArchiveListing FillArchiveList(Archive &archive)
{
    ArchiveListing listing;
    listing.lines = archive.snapshot();
    listing.count = listing.lines->size();
    if (listing.count == 0)
        listing.lines.reset();
    return listing;
}

ArchivedActTexts archivedActTexts(const ArchiveRecordSet &records)
{
    return ArchivedActTexts{
        textOrEmpty(records, ArchiveField::ZAVNUM),  textOrEmpty(records, ArchiveField::GODVYP),
        textOrEmpty(records, ArchiveField::INN),     textOrEmpty(records, ArchiveField::EKLZREG),
        textOrEmpty(records, ArchiveField::NAMEORG),
    };
}

std::optional<RecalledAct> RecallArchivedAct(Archive &archive, const ListedRecord &listed)
{
    const auto records = archive.open(ArchiveAccess::ReadOnly);
    if (!records->moveToRecordNumber(listed.number) || records->recordDigest() != listed.digest) {
        records->close();
        return std::nullopt;
    }

    // Read field by field in the order of the act, as the window applies them.
    using namespace ArchiveField;
    RecalledAct act;
    act.date = archiveFieldDate(readField(*records, ACTDATE));
    act.mechanic = storedText(readField(*records, MECHNAME));
    act.registerModel = storedText(readField(*records, TYPEKKM));
    act.texts = ArchivedActTexts{
        archiveFieldText(readField(*records, ZAVNUM)),  archiveFieldText(readField(*records, GODVYP)),
        archiveFieldText(readField(*records, INN)),     archiveFieldText(readField(*records, EKLZREG)),
        archiveFieldText(readField(*records, NAMEORG)),
    };
    act.operationType = storedText(readField(*records, PRICHINA));
    act.contentsPreserved = archiveFieldTicked(readField(*records, E_SOHRAN));
    act.readable = archiveFieldTicked(readField(*records, E_READABLE));
    records->close();
    return act;
}

DeletedRecord DeleteSelectedRecord(Archive &archive, const ListedRecord &listed)
{
    const auto records = archive.open(ArchiveAccess::Writable);
    if (!records->moveToRecordNumber(listed.number) || records->recordDigest() != listed.digest) {
        records->close();
        return {};
    }

    DeletedRecord deleted;
    deleted.texts = archivedActTexts(*records);
    try {
        records->deleteCurrent();
        records->update();
        records->close();
        deleted.outcome = DeletionOutcome::Deleted;
    } catch (...) {
        deleted.outcome = DeletionOutcome::Failed;
        deleted.failure = toFailure(std::current_exception());
    }
    return deleted;
}

QString archivedActPdfPath(Archive &archive, const QString &programFolder, const ListedRecord &listed)
{
    const auto records = archive.open(ArchiveAccess::ReadOnly);
    if (!records->moveToRecordNumber(listed.number) || records->recordDigest() != listed.digest) {
        records->close();
        return {};
    }
    std::optional<QDate> date;
    QString customer;
    QString serial;
    try {
        date = archiveFieldDate(records->value(ArchiveField::ACTDATE));
        customer = archiveFieldText(records->value(ArchiveField::NAMEORG));
        serial = archiveFieldText(records->value(ArchiveField::ZAVNUM));
    } catch (const Failure &) {
        // A damaged cell: the act was never printed by this program under such a name.
        records->close();
        return {};
    }
    records->close();
    // An act without a readable date was never printed by this program, so no copy bears its name.
    if (!date)
        return {};
    return actPdfFolder(programFolder) + u'/' + actPdfFileName(*date, customer, serial, listed.number);
}

}  // namespace qm
