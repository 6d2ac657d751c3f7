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

    void setCellTexts(const std::vector<CellText> &cells) override
    {
        const std::int64_t start = monotonicNanoseconds();
        sheet_->setCellTexts(cells);
        times_.cellWrites += millisecondsSince(start);
        times_.cellCount += int(cells.size());
    }

private:
    std::unique_ptr<SpreadsheetSheet> sheet_;
    OfficeTimes &times_;
};

class TimedInstance final : public SpreadsheetInstance {
public:
    TimedInstance(std::unique_ptr<SpreadsheetInstance> instance, OfficeTimes &times, std::function<void()> &before)
        : instance_(std::move(instance)), times_(times), beforeTemplate_(before)
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
        if (beforeTemplate_)
            std::exchange(beforeTemplate_, nullptr)();
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

    void exportActiveWorkbookAsPdf(const QString &pdfPath) override
    {
        const std::int64_t start = monotonicNanoseconds();
        instance_->exportActiveWorkbookAsPdf(pdfPath);
        times_.pdfExport += millisecondsSince(start);
    }

    void closeUnshownWorkbooks() noexcept override { instance_->closeUnshownWorkbooks(); }

private:
    std::unique_ptr<SpreadsheetInstance> instance_;
    OfficeTimes &times_;
    std::function<void()> &beforeTemplate_;
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
    return std::make_unique<TimedInstance>(std::move(instance), times_, beforeNextTemplate);
}

void TimedSpreadsheet::startInstanceAhead(const QString &templatePath)
{
    const std::int64_t start = monotonicNanoseconds();
    office_->startInstanceAhead(templatePath);
    aheadCalls_.add(millisecondsSince(start));
}

OfficeTimes TimedSpreadsheet::takeTimes()
{
    return std::exchange(times_, OfficeTimes{});
}

}  // namespace qm::bench
