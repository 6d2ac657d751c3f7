#include "archive/archive_field_text.h"

#include "archive/archive_table.h"
#include "common/failure.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace qm {

QString archiveFieldText(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate().toString(u"dd.MM.yyyy"_s);
    return value.toString();
}

bool archiveFieldTicked(const QVariant &value)
{
    return !value.isNull() && value.toBool();
}

std::optional<QDate> archiveFieldDate(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    if (value.metaType().id() == QMetaType::QDate) {
        const QDate date = value.toDate();
        return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }
    static const QRegularExpression dayFirst(u"^\\s*(\\d{1,2})[./-](\\d{1,2})[./-](\\d{4})\\s*$"_s);
    const auto match = dayFirst.match(value.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(3).toInt(), match.captured(2).toInt(), match.captured(1).toInt());
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

QString archiveFieldTextOr(const ArchiveRecordSet &records, QStringView field, const QString &unreadable)
{
    try {
        return archiveFieldText(records.value(field));
    } catch (const Failure &failure) {
        if (failure.number() == FailureCode::ItemNotFound)
            throw;
        return unreadable;
    }
}

}  // namespace qm
