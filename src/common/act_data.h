#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace qm {

// One act as the mechanic entered it. Only the main window maps it to and
// from its controls; every command takes and returns this value.
struct ActData {
    QDateTime date;           // act date: the picker's date and time of day
    QString taxInspectorate;  // printed on the act, never archived
    QString customer;
    QString inn;                           // the customer's taxpayer number
    std::optional<QString> registerModel;  // the chosen model, none when nothing is chosen
    QString serialNumber;
    QString yearMade;
    std::optional<QString> operationType;  // none when nothing is chosen
    QString registrationNumber;            // the new unit's registration number
    bool contentsPreserved = true;         // ticked (or greyed) on the form
    bool readable = true;                  // ticked (or greyed) on the form
    std::optional<QString> mechanic;       // none when nothing is chosen

    friend bool operator==(const ActData &, const ActData &) = default;
};

// A chosen list item as the act prints and archives it: empty when none.
inline QString chosenText(const std::optional<QString> &item)
{
    return item.value_or(QString());
}

}  // namespace qm
