#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace qm {

// The five text fields of an archived act, each exactly as stored (a null
// field reads as the empty text). A deletion hands these back to the main
// window; a recall hands them back with the rest of the act.
struct ArchivedActTexts {
    QString serialNumber;          // ZAVNUM
    QString yearMade;              // GODVYP
    QString inn;                   // INN
    QString registrationNumber;    // EKLZREG, with the padding it was stored with
    QString customer;              // NAMEORG

    friend bool operator==(const ArchivedActTexts &, const ArchivedActTexts &) = default;
};

// An archived act as a recall reads it. Where the archive holds null the main
// window does something particular, so those fields keep "null" apart from
// any stored text.
struct RecalledAct {
    std::optional<QDate> date;              // none: null or unreadable, the form keeps its date
    std::optional<QString> mechanic;        // none: null, the mechanics list is reloaded
    std::optional<QString> registerModel;   // none: null, the models list is reloaded
    ArchivedActTexts texts;
    std::optional<QString> operationType;   // none: null, no operation type is chosen
    bool contentsPreserved = false;         // a null logical field reads as false
    bool readable = false;

    friend bool operator==(const RecalledAct &, const RecalledAct &) = default;
};

class Archive;
class ArchiveRecordSet;
struct ListedRecord;

// The five text fields of the current record, exactly as stored (null reads
// as the empty text, an unreadable field too).
ArchivedActTexts archivedActTexts(const ArchiveRecordSet &records);

// Reads the archived act the list showed, found by its number in the file.
// nullopt when that record has been deleted or no longer gives the list's
// digest: another copy of the program changed the archive since the list was
// read, and whatever is found now is not the act the mechanic chose.
// Throws qm::Failure, naming the field, when a field cannot be read.
std::optional<RecalledAct> RecallArchivedAct(Archive &archive, const ListedRecord &listed);

}  // namespace qm
