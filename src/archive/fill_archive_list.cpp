#include "archive/fill_archive_list.h"

#include "archive/archive_snapshot.h"
#include "archive/archive_table.h"

namespace qm {

ArchiveListing FillArchiveList(Archive &archive)
{
    ArchiveListing listing;
    listing.lines = archive.snapshot();
    listing.count = listing.lines->size();
    if (listing.count == 0)
        listing.lines.reset();
    return listing;
}

}  // namespace qm
