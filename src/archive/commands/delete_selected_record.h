#pragma once

namespace qm {

struct ArchiveWindowContext;
struct ListedRecord;

enum class DeletionOutcome {
    Deleted,          // the record was deleted; its line is still in the list
    ArchiveChanged,   // the record is no longer the one the list showed: nothing was changed
};

// Deletes the record the list showed, found by its number in the file, after
// handing its ZAVNUM, GODVYP, INN, EKLZREG and NAMEORG to the main window.
//
// Before anything is handed over or deleted, the record is read again under
// the archive's exclusive lock: it must still be live and give the digest the
// list read. Another copy of the program may have deleted it, or the file may
// have been rewritten, since the list was filled.
// Throws qm::Failure; the texts handed over before a failure stay shown.
DeletionOutcome DeleteSelectedRecord(const ArchiveWindowContext &context, const ListedRecord &listed);

}  // namespace qm
