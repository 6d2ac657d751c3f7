#pragma once

#include <cstdint>
#include <vector>

namespace qm {

// An ascending list of record indexes kept as runs of consecutive ones. An
// archive is only appended to and seldom has a record deleted, so a million
// live records make a handful of runs instead of four megabytes of numbers.
// An archive with many scattered deletions costs at most twice the plain list.
class RecordRuns {
public:
    // index must be greater than every index held.
    void append(std::uint32_t index);

    int size() const { return int(size_); }
    // The index at a position, in O(log runs).
    std::uint32_t at(int position) const;
    // Drops the index at a position; those after it move up one position.
    void remove(int position);

private:
    struct Run {
        std::uint32_t firstPosition;
        std::uint32_t firstIndex;
    };
    std::vector<Run>::iterator runAt(int position);

    std::vector<Run> runs_;
    std::uint32_t size_ = 0;
};

}  // namespace qm
