#pragma once

#include "document/spreadsheet.h"
#include "document/uno/libreoffice_calc.h"
#include "document/uno/office_launch.h"
#include "support/bench_timing.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace qm::bench {

// What one run of the print command spent in the office, in milliseconds.
struct OfficeTimes {
    double startInstance = 0;
    double loadTemplate = 0;  // the new workbook from the template
    double cellWrites = 0;    // the act's cells alone
    double pdfExport = 0;     // the PDF copy
    int cellCount = 0;
    std::int64_t visibleAtNs = 0;  // when setVisible(true) returned
};

// The real LibreOffice Calc with a stopwatch around each operation the print
// command calls; it remembers the office it last started, so that the
// benchmark can shut it down.
class TimedSpreadsheet final : public SpreadsheetApplication {
public:
    explicit TimedSpreadsheet(const LibreOfficeOptions &options);

    std::unique_ptr<SpreadsheetInstance> startInstance() override;
    void startInstanceAhead(const QString &templatePath) override;
    void endUnusedInstance() noexcept override { office_->endUnusedInstance(); }

    OfficeTimes takeTimes();
    // Called once, just before the next template is loaded (the benchmark
    // kills the office there).
    std::function<void()> beforeNextTemplate;
    // Times startInstanceAhead() held the caller (the window's thread), in ms.
    const Samples &aheadCalls() const { return aheadCalls_; }
    // The office of the last instance, while one was started.
    const std::optional<calc::OfficeConnection> &lastOffice() const { return lastOffice_; }

private:
    std::unique_ptr<SpreadsheetApplication> office_;
    OfficeTimes times_;
    std::optional<calc::OfficeConnection> lastOffice_;
    Samples aheadCalls_;
};

}  // namespace qm::bench
