#include "archive/record_runs.h"

#include <algorithm>

namespace qm {

void RecordRuns::append(std::uint32_t index)
{
    if (runs_.empty() || runs_.back().firstIndex + (size_ - runs_.back().firstPosition) != index)
        runs_.push_back(Run{size_, index});
    ++size_;
}

std::vector<RecordRuns::Run>::iterator RecordRuns::runAt(int position)
{
    // The last run starting at or before the position.
    return std::upper_bound(runs_.begin(), runs_.end(), std::uint32_t(position),
                            [](std::uint32_t wanted, const Run &run) { return wanted < run.firstPosition; })
        - 1;
}

std::uint32_t RecordRuns::at(int position) const
{
    const Run &run = *const_cast<RecordRuns *>(this)->runAt(position);
    return run.firstIndex + (std::uint32_t(position) - run.firstPosition);
}

void RecordRuns::remove(int position)
{
    const auto run = runAt(position);
    const std::uint32_t where = std::uint32_t(position);
    const std::uint32_t index = run->firstIndex + (where - run->firstPosition);
    const std::uint32_t end = run + 1 == runs_.end() ? size_ : (run + 1)->firstPosition;
    for (auto later = run + 1; later != runs_.end(); ++later)
        --later->firstPosition;
    --size_;
    if (where + 1 < end) {
        // The run goes on after the removed index: from here it holds index + 1.
        if (where == run->firstPosition)
            run->firstIndex = index + 1;
        else
            runs_.insert(run + 1, Run{where, index + 1});
    } else if (where == run->firstPosition) {
        runs_.erase(run);
    }
    // Otherwise the removed index ended its run, whose end is where the next begins.
}

}  // namespace qm
