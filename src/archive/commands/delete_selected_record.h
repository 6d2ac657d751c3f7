#pragma once

class QListWidget;

namespace qm {

struct ArchiveWindowContext;

enum class DeletionOutcome {
    Deleted,          // the record was deleted; its line is still in the list
    ArchiveChanged,   // the table no longer matches the list: nothing was changed
};

// Deletes the record of the selected line of lBase, found by its position, after
// copying its ZAVNUM, GODVYP, INN, EKLZREG and NAMEORG into the main window.
// Precondition: a line is selected.
//
// Before anything is copied or deleted, the table is checked against the list
// (same number of records, same line text at that position): another copy of
// the program may have changed the archive since the list was filled, and a
// record found by a stale position would be the wrong act.
// Throws qm::Failure; fields copied before a failure keep their new values.
DeletionOutcome DeleteSelectedRecord(const ArchiveWindowContext &context, const QListWidget *lBase);

}  // namespace qm
