#include "archive/dbf_record_set.h"

#include "archive/archive_failures.h"
#include "archive/dbf_field_codec.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace qm {

DbfRecordSet::DbfRecordSet(std::unique_ptr<DbfFile> file, ArchiveAccess access, QString tableName)
    : file_(std::move(file)), access_(access), tableName_(std::move(tableName)),
      tableLabel_(u"%1 (%2)"_s.arg(tableName_, file_->path()))
{
}

void DbfRecordSet::requireOpen() const
{
    if (!file_) {
        throw Failure(ArchiveFailureCode::RecordSetClosed, u"Набор записей таблицы %1 уже закрыт"_s.arg(tableName_));
    }
}

void DbfRecordSet::requireWritable() const
{
    requireOpen();
    if (access_ != ArchiveAccess::Writable) {
        throw Failure(ArchiveFailureCode::TableReadOnly,
                      u"Таблица %1 открыта только для чтения: изменение невозможно"_s.arg(tableLabel()));
    }
}

void DbfRecordSet::requireCurrent() const
{
    if (currentDeleted_ || position_ >= file_->liveRecords().size()) {
        throw Failure(FailureCode::NoCurrentRecord,
                      u"Нет текущей записи в таблице %1: достигнут конец или запись удалена"_s.arg(tableLabel()));
    }
}

const DbfField &DbfRecordSet::field(QStringView fieldName) const
{
    const std::vector<DbfField> &fields = file_->header().fields;
    // Callers spell the names as the table does, so the exact match is tried
    // first: a case-blind comparison against every column for every cell read
    // was a quarter of the time of filling the archive list. Names are unique
    // regardless of case, so both searches find the same column.
    auto found = std::find_if(fields.begin(), fields.end(),
                              [fieldName](const DbfField &candidate) { return fieldName == candidate.name; });
    if (found == fields.end()) {
        found = std::find_if(fields.begin(), fields.end(), [fieldName](const DbfField &candidate) {
            return fieldName.compare(candidate.name, Qt::CaseInsensitive) == 0;
        });
    }
    if (found == fields.end()) {
        throw Failure(FailureCode::ItemNotFound,
                      u"Поле %1 не найдено в таблице %2"_s.arg(fieldName.toString(), tableLabel()));
    }
    return *found;
}

void DbfRecordSet::dropPending()
{
    newRecord_.reset();
    deletionPending_ = false;
}

int DbfRecordSet::recordCount() const
{
    requireOpen();
    return int(file_->liveRecords().size());
}

bool DbfRecordSet::atEnd() const
{
    requireOpen();
    return !currentDeleted_ && position_ >= file_->liveRecords().size();
}

quint32 DbfRecordSet::recordNumber() const
{
    requireOpen();
    requireCurrent();
    return file_->liveRecords()[position_] + 1;
}

void DbfRecordSet::moveNext()
{
    skip(1);
}

void DbfRecordSet::skip(int count)
{
    requireOpen();
    if (count < 0) {
        throw Failure(ArchiveFailureCode::InvalidArgument,
                      u"Недопустимое число пропускаемых записей таблицы %1: %2"_s.arg(tableLabel()).arg(count));
    }
    if (count == 0)
        return;
    if (atEnd())
        requireCurrent();
    dropPending();
    std::size_t steps = std::size_t(count);
    if (currentDeleted_) {
        // The deleted record's successor already sits at this position.
        currentDeleted_ = false;
        --steps;
    }
    position_ = std::min(position_ + steps, file_->liveRecords().size());
}

QVariant DbfRecordSet::value(QStringView fieldName) const
{
    requireOpen();
    const DbfField &cell = field(fieldName);
    QByteArrayView record;
    if (newRecord_) {
        record = *newRecord_;
    } else {
        requireCurrent();
        record = file_->record(file_->liveRecords()[position_]);
    }
    return decodeDbfCell(cell, record.sliced(cell.offset, cell.width), file_->codePage(), tableLabel());
}

std::optional<int> DbfRecordSet::textWidth(QStringView fieldName) const
{
    requireOpen();
    const DbfField &cell = field(fieldName);
    return cell.type == 'C' ? std::optional<int>(cell.width) : std::nullopt;
}

void DbfRecordSet::addNew()
{
    requireWritable();
    dropPending();
    QByteArray blank(file_->header().recordLength, ' ');
    blank[0] = kDbfLiveFlag;
    newRecord_ = std::move(blank);
}

void DbfRecordSet::setValue(QStringView fieldName, const QVariant &value)
{
    requireWritable();
    const DbfField &cell = field(fieldName);
    if (!newRecord_) {
        throw Failure(FailureCode::NoCurrentRecord,
                      u"Поле %1 таблицы %2 можно задать только у новой записи"_s.arg(cell.name, tableLabel()));
    }
    // Encoded before anything is touched: a refused value leaves the new record as it was.
    const QByteArray bytes = encodeDbfCell(cell, value, file_->codePage(), tableLabel());
    std::copy(bytes.cbegin(), bytes.cend(), newRecord_->begin() + cell.offset);
}

void DbfRecordSet::update()
{
    requireOpen();
    if (newRecord_) {
        requireWritable();
        file_->append(*newRecord_);
        newRecord_.reset();
        position_ = file_->liveRecords().size() - 1;
        currentDeleted_ = false;
    } else if (deletionPending_) {
        requireWritable();
        file_->markDeleted(file_->liveRecords()[position_]);
        deletionPending_ = false;
        currentDeleted_ = true;
    }
}

void DbfRecordSet::deleteCurrent()
{
    requireWritable();
    if (newRecord_) {
        // The current record is the one not yet stored: deleting it is giving it up.
        newRecord_.reset();
        return;
    }
    requireCurrent();
    deletionPending_ = true;
}

bool DbfRecordSet::moveToRecordNumber(quint32 number)
{
    requireOpen();
    dropPending();
    currentDeleted_ = false;
    const std::vector<std::uint32_t> &live = file_->liveRecords();
    const auto found = number == 0 ? live.end() : std::lower_bound(live.begin(), live.end(), number - 1);
    if (found == live.end() || *found != number - 1) {
        position_ = live.size();
        return false;
    }
    position_ = std::size_t(found - live.begin());
    return true;
}

quint64 DbfRecordSet::recordDigest() const
{
    requireOpen();
    requireCurrent();
    return dbfRecordDigest(file_->record(file_->liveRecords()[position_]));
}

void DbfRecordSet::close()
{
    dropPending();
    file_.reset();
}

}  // namespace qm
