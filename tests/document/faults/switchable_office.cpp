#include "switchable_office.h"

namespace qm::test {
namespace {

class CountingSheet final : public SpreadsheetSheet {
public:
    CountingSheet(std::unique_ptr<SpreadsheetSheet> real, int &written, const std::function<void(int)> &after)
        : real_(std::move(real)), written_(written), after_(after)
    {
    }

    void setCellText(const QString &address, const QString &text) override
    {
        real_->setCellText(address, text);
        ++written_;
        if (after_)
            after_(written_);
    }

private:
    std::unique_ptr<SpreadsheetSheet> real_;
    int &written_;
    const std::function<void(int)> &after_;
};

class SharedInstance final : public SpreadsheetInstance {
public:
    SharedInstance(std::shared_ptr<calc::CalcInstance> real, const std::function<void(int)> &after)
        : real_(std::move(real)), after_(after)
    {
    }

    void setSheetsInNewWorkbook(int count) override { real_->setSheetsInNewWorkbook(count); }
    void addWorkbookFromTemplate(const QString &path) override { real_->addWorkbookFromTemplate(path); }
    std::unique_ptr<SpreadsheetSheet> activeSheet() override
    {
        return std::make_unique<CountingSheet>(real_->activeSheet(), written_, after_);
    }
    void printActiveWorkbook(int copies) override { real_->printActiveWorkbook(copies); }
    void setVisible(bool visible) override { real_->setVisible(visible); }
    void exportActiveWorkbookAsPdf(const QString &path) override { real_->exportActiveWorkbookAsPdf(path); }
    void closeUnshownWorkbooks() noexcept override { real_->closeUnshownWorkbooks(); }

private:
    std::shared_ptr<calc::CalcInstance> real_;
    const std::function<void(int)> &after_;
    int written_ = 0;
};

}  // namespace

std::unique_ptr<SpreadsheetInstance> SwitchableOffice::startInstance()
{
    std::unique_ptr<SpreadsheetInstance> real = current->startInstance();
    // Every instance LibreOffice Calc starts is a CalcInstance.
    std::shared_ptr<calc::CalcInstance> shared(static_cast<calc::CalcInstance *>(real.release()));
    started.push_back(shared);
    return std::make_unique<SharedInstance>(shared, afterCellWritten);
}

}  // namespace qm::test
