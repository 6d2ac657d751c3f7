#pragma once

#include <QString>

namespace qm {
class Archive;
}

namespace qm::bench {

// Stores one typical act through the real archive code (its two fsyncs included).
void saveTypicalAct(Archive &archive, int serialNumber);

// Writes QM.dbf in `folder` holding `count` live acts, with the columns of an
// archive made before the mechanic's and the model's columns were widened
// (the archives that hold years of acts). The first act is saved
// through the archive code; the others are copies of its record with their own
// serial numbers, written in bulk: saving them one by one would time the
// disk's sync rate, not the archive.
// With newLayout, the columns are those a new archive is made with.
void writeArchiveOfActs(const QString &folder, int count, bool newLayout = false);

}  // namespace qm::bench
