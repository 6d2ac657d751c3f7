#pragma once

#include "common/failure.h"

#include <QDate>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

// What the archive window does with the acts in the archive: fills its list,
// recalls the chosen act into the main window, deletes it, and names its PDF
// copy. Each finds the record the list showed by its number and checks it by
// the digest the list read, since another copy of the program may have changed
// the archive meanwhile.

namespace qm {

class Archive;
class ArchiveRecordSet;
class ArchiveSnapshot;
struct ListedRecord;

// What the archive window's list is filled with: the count for the status bar
// and the live records, in the table's natural order; no lines when the
// archive holds none.
struct ArchiveListing {
    qint64 count = 0;
    std::unique_ptr<ArchiveSnapshot> lines;
};

// Reads the archive's live records for the list. The archive's lock is given
// up before this returns, so the window may ask and tell whatever it likes.
// Throws qm::Failure.
ArchiveListing FillArchiveList(Archive &archive);

// The five text fields of an archived act, each exactly as stored (a null
// field reads as the empty text). A deletion hands these back to the main
// window; a recall hands them back with the rest of the act.
struct ArchivedActTexts {
    QString serialNumber;        // ZAVNUM
    QString yearMade;            // GODVYP
    QString inn;                 // INN
    QString registrationNumber;  // EKLZREG, with the padding it was stored with
    QString customer;            // NAMEORG

    friend bool operator==(const ArchivedActTexts &, const ArchivedActTexts &) = default;
};

// An archived act as a recall reads it. Where the archive holds null the main
// window does something particular, so those fields keep "null" apart from
// any stored text.
struct RecalledAct {
    std::optional<QDate> date;             // none: null or unreadable, the form keeps its date
    std::optional<QString> mechanic;       // none: null, the mechanics list is reloaded
    std::optional<QString> registerModel;  // none: null, the models list is reloaded
    ArchivedActTexts texts;
    std::optional<QString> operationType;  // none: null, no operation type is chosen
    bool contentsPreserved = false;        // a null logical field reads as false
    bool readable = false;

    friend bool operator==(const RecalledAct &, const RecalledAct &) = default;
};

// The five text fields of the current record, exactly as stored (null reads
// as the empty text, an unreadable field too).
ArchivedActTexts archivedActTexts(const ArchiveRecordSet &records);

// Reads the archived act the list showed, found by its number in the file.
// nullopt when that record has been deleted or no longer gives the list's
// digest: another copy of the program changed the archive since the list was
// read, and whatever is found now is not the act the mechanic chose.
// Throws qm::Failure, naming the field, when a field cannot be read.
std::optional<RecalledAct> RecallArchivedAct(Archive &archive, const ListedRecord &listed);

enum class DeletionOutcome {
    Deleted,         // the record was deleted; its line is still in the list
    ArchiveChanged,  // the record is no longer the one the list showed: nothing was changed
    Failed,          // the record was read, but deleting it failed
};

struct DeletedRecord {
    DeletionOutcome outcome = DeletionOutcome::ArchiveChanged;
    // The act's ZAVNUM, GODVYP, INN, EKLZREG and NAMEORG, read before the
    // deletion: the main window shows them also when the deletion then fails,
    // so the mechanic still has the act to correct and print again.
    ArchivedActTexts texts;
    std::optional<Failure> failure;  // Failed: why the record is still there
};

// Deletes the record the list showed, found by its number in the file, and
// gives back its five texts for the main window.
//
// Before anything is read or deleted, the record is read again under the
// archive's exclusive lock: it must still be live and give the digest the
// list read. Another copy of the program may have deleted it, or the file may
// have been rewritten, since the list was filled. Throws qm::Failure when the
// record cannot be reached; a failure after its texts were read is returned.
DeletedRecord DeleteSelectedRecord(Archive &archive, const ListedRecord &listed);

// Where the PDF copy of the listed act is written (in "Акты" beside the
// archive, named after the record's date, customer, serial number and record
// number), whether or not it is there. Empty when that record is no longer the
// one the list read, or its name cannot be read. The archive is read and
// closed again before this returns. Throws qm::Failure.
QString archivedActPdfPath(Archive &archive, const QString &programFolder, const ListedRecord &listed);

}  // namespace qm
