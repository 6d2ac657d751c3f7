#pragma once

#include "document/spreadsheet.h"
#include "document/uno/calc_instance.h"

#include <functional>
#include <memory>
#include <vector>

namespace qm::test {

// The spreadsheet application the print command sees, delegating to one of
// several real ones the test switches between: the office "comes back" when
// the test points it at a working one. Keeps every instance it started so the
// test can read the workbooks back and shut the offices down.
class SwitchableOffice final : public SpreadsheetApplication {
public:
    SpreadsheetApplication *current = nullptr;
    // Called after each cell written, with the number written so far in this instance.
    std::function<void(int)> afterCellWritten;

    std::unique_ptr<SpreadsheetInstance> startInstance() override;

    // The real instances, in start order.
    std::vector<std::shared_ptr<calc::CalcInstance>> started;
};

}  // namespace qm::test
