#include "archive/commands/save_act.h"

#include "archive/archive_table.h"

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

}  // namespace

QString archiveDateText(const QDate &date)
{
    return u"%1.%2.%3"_s.arg(date.day()).arg(date.month()).arg(date.year());
}

QString paddedRegistrationNumber(const QString &text)
{
    return text.left(kRegistrationNumberWidth).leftJustified(kRegistrationNumberWidth, u' ');
}

void SaveActToArchive(const ActData &act, Archive &archive)
{
    const auto records = archive.open(ArchiveAccess::Writable);
    records->addNew();
    records->setValue(ArchiveField::ACTDATE, archiveDateText(act.DTP->date()));
    records->setValue(ArchiveField::MECHNAME, selectedText(act.cmbTech));
    records->setValue(ArchiveField::TYPEKKM, textOrPlaceholder(selectedText(act.cmbNameKKM)));
    records->setValue(ArchiveField::ZAVNUM, textOrPlaceholder(act.txtZavNum->text()));
    records->setValue(ArchiveField::GODVYP, textOrPlaceholder(act.txtGodVyp->text()));
    records->setValue(ArchiveField::PRICHINA, textOrPlaceholder(selectedText(act.cmbVidOp)));
    records->setValue(ArchiveField::E_SOHRAN, isTickedOrGreyed(act.chSoderjimoe));
    records->setValue(ArchiveField::E_READABLE, isTickedOrGreyed(act.chProchest));
    records->setValue(ArchiveField::INN, textOrPlaceholder(act.txtINN->text()));
    records->setValue(ArchiveField::EKLZREG, paddedRegistrationNumber(act.txtEKLZ->text()));
    records->setValue(ArchiveField::NAMEORG, textOrPlaceholder(act.txtNameOrg->text()));
    records->update();
    showRecordCount(act, records->recordCount());
    records->close();
}

}  // namespace qm
