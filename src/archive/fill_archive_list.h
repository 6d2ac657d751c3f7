#pragma once

#include <QtGlobal>

#include <memory>

namespace qm {

class Archive;
class ArchiveSnapshot;

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

}  // namespace qm
