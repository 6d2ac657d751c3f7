#include "recording_spreadsheet.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace qm::test {
namespace {

class RecordingSheet final : public SpreadsheetSheet {
public:
    RecordingSheet(RecordingSpreadsheet &owner, QString prefix, QString workbook)
        : owner_(owner), prefix_(std::move(prefix)), workbook_(std::move(workbook))
    {
    }

    void setCellText(const QString &address, const QString &text) override
    {
        owner_.maybeFail(u"cell"_s);
        owner_.log.append(prefix_ + u"cell "_s + address + u'=' + text);
        owner_.workbooks[workbook_][address] = text;
    }

private:
    RecordingSpreadsheet &owner_;
    QString prefix_;
    QString workbook_;
};

class RecordingInstance final : public SpreadsheetInstance {
public:
    RecordingInstance(RecordingSpreadsheet &owner, int number) : owner_(owner), prefix_(QString::number(number) + u':')
    {
    }
    ~RecordingInstance() override { owner_.log.append(prefix_ + u"release"_s); }

    void setSheetsInNewWorkbook(int count) override
    {
        owner_.maybeFail(u"sheets"_s);
        owner_.log.append(prefix_ + u"sheets "_s + QString::number(count));
    }
    void addWorkbookFromTemplate(const QString &templatePath) override
    {
        owner_.maybeFail(u"add"_s);
        owner_.log.append(prefix_ + u"add "_s + templatePath);
        ++workbooks_;
    }
    std::unique_ptr<SpreadsheetSheet> activeSheet() override
    {
        owner_.maybeFail(u"sheet"_s);
        owner_.log.append(prefix_ + u"sheet"_s);
        return std::make_unique<RecordingSheet>(owner_, prefix_, prefix_ + QString::number(workbooks_));
    }
    void printActiveWorkbook(int copies) override
    {
        owner_.maybeFail(u"print"_s);
        owner_.log.append(prefix_ + u"print "_s + QString::number(copies));
    }
    void setVisible(bool visible) override
    {
        owner_.maybeFail(u"visible"_s);
        owner_.log.append(prefix_ + (visible ? u"visible"_s : u"hidden"_s));
        shown_ = visible;
    }
    void exportActiveWorkbookAsPdf(const QString &pdfPath) override
    {
        owner_.maybeFail(u"pdf"_s);
        owner_.log.append(prefix_ + u"pdf "_s + pdfPath);
        QFile file(pdfPath);
        if (!file.open(QIODevice::WriteOnly))
            throw Failure(FailureCode::PathFileAccessError, u"Файл не записан"_s, file.errorString());
        file.write("%PDF-1.4\n");
    }
    void closeUnshownWorkbooks() noexcept override
    {
        if (!shown_ && workbooks_ > 0)
            owner_.log.append(prefix_ + u"close unshown"_s);
    }

private:
    RecordingSpreadsheet &owner_;
    QString prefix_;
    int workbooks_ = 0;
    bool shown_ = false;
};

}  // namespace

std::unique_ptr<SpreadsheetInstance> RecordingSpreadsheet::startInstance()
{
    maybeFail(u"start"_s);
    ++instancesStarted;
    log.append(QString::number(instancesStarted) + u":start"_s);
    return std::make_unique<RecordingInstance>(*this, instancesStarted);
}

void RecordingSpreadsheet::failNext(const QString &operation, int number, int afterCalls)
{
    failures_[operation] = ScriptedFailure{number, afterCalls};
}

void RecordingSpreadsheet::maybeFail(const QString &operation)
{
    const auto found = failures_.find(operation);
    if (found == failures_.end())
        return;
    if (found->callsToSkip > 0) {
        --found->callsToSkip;
        return;
    }
    const int number = found->number;
    failures_.erase(found);
    throw Failure(number, u"Сбой по сценарию теста: "_s + operation);
}

}  // namespace qm::test
