#pragma once

namespace qm {

class ArchiveLines;
struct ArchiveWindowContext;

enum class DeletionOutcome {
    Deleted,          // the record was deleted; its line is still in the list
    ArchiveChanged,   // the table no longer matches the list: nothing was changed
};

// Deletes the record at a position of the table's natural order, after handing
// its ZAVNUM, GODVYP, INN, EKLZREG and NAMEORG to the main window.
//
// Before anything is handed over or deleted, the table is checked against the
// list's lines (same number of records, same line text at that position):
// another copy of the program may have changed the archive since the list was
// filled, and a record found by a stale position would be the wrong act.
// Throws qm::Failure; the texts handed over before a failure stay shown.
DeletionOutcome DeleteSelectedRecord(const ArchiveWindowContext &context, const ArchiveLines &lines, int position);

}  // namespace qm
