#include "print/timed_spreadsheet.h"

#include "document/uno/calc_instance.h"
#include "support/bench_timing.h"

namespace qm::bench {
namespace {

class TimedSheet final : public SpreadsheetSheet {
public:
    TimedSheet(std::unique_ptr<SpreadsheetSheet> sheet, OfficeTimes &times) : sheet_(std::move(sheet)), times_(times) {}

    void setCellText(const QString &address, const QString &text) override
    {
        const std::int64_t start = monotonicNanoseconds();
        sheet_->setCellText(address, text);
        times_.cellWrites += millisecondsSince(start);
        ++times_.cellCount;
    }

private:
    std::unique_ptr<SpreadsheetSheet> sheet_;
    OfficeTimes &times_;
};

class TimedInstance final : public SpreadsheetInstance {
public:
    TimedInstance(std::unique_ptr<SpreadsheetInstance> instance, OfficeTimes &times)
        : instance_(std::move(instance)), times_(times)
    {
    }

    void setSheetsInNewWorkbook(int count) override
    {
        const std::int64_t start = monotonicNanoseconds();
        instance_->setSheetsInNewWorkbook(count);
        times_.loadTemplate += millisecondsSince(start);
    }

    void addWorkbookFromTemplate(const QString &templatePath) override
    {
        const std::int64_t start = monotonicNanoseconds();
        instance_->addWorkbookFromTemplate(templatePath);
        times_.loadTemplate += millisecondsSince(start);
    }

    std::unique_ptr<SpreadsheetSheet> activeSheet() override
    {
        return std::make_unique<TimedSheet>(instance_->activeSheet(), times_);
    }

    void printActiveWorkbook(int copies) override { instance_->printActiveWorkbook(copies); }

    void setVisible(bool visible) override
    {
        instance_->setVisible(visible);
        times_.visibleAtNs = monotonicNanoseconds();
    }

private:
    std::unique_ptr<SpreadsheetInstance> instance_;
    OfficeTimes &times_;
};

}  // namespace

TimedSpreadsheet::TimedSpreadsheet(const LibreOfficeOptions &options) : office_(makeLibreOfficeCalc(options)) {}

std::unique_ptr<SpreadsheetInstance> TimedSpreadsheet::startInstance()
{
    const std::int64_t start = monotonicNanoseconds();
    std::unique_ptr<SpreadsheetInstance> instance = office_->startInstance();
    times_.startInstance += millisecondsSince(start);
    if (const auto *calc = dynamic_cast<const calc::CalcInstance *>(instance.get()))
        lastOffice_ = calc->connection();
    return std::make_unique<TimedInstance>(std::move(instance), times_);
}

void TimedSpreadsheet::startInstanceAhead()
{
    const std::int64_t start = monotonicNanoseconds();
    office_->startInstanceAhead();
    aheadCalls_.add(millisecondsSince(start));
}

OfficeTimes TimedSpreadsheet::takeTimes()
{
    return std::exchange(times_, OfficeTimes{});
}

}  // namespace qm::bench
