#pragma once

#include "common/failure.h"
#include "document/spreadsheet.h"

#include <QMap>
#include <QStringList>

namespace qm::test {

// A spreadsheet application that records every operation as a line of text
// ("1:add /path", "1:cell C13=7", "1:print 2", "1:release") and fails an
// operation on request. Instances are numbered from 1 in start order.
class RecordingSpreadsheet final : public SpreadsheetApplication {
public:
    std::unique_ptr<SpreadsheetInstance> startInstance() override;
    void startInstanceAhead(const QString &) override { ++aheadStarts; }
    void endUnusedInstance() noexcept override { ++unusedEnds; }

    // The next time `operation` ("start", "sheets", "add", "sheet", "cell",
    // "print", "visible", "pdf") would run, it throws a Failure with this number instead.
    void failNext(const QString &operation, int number, int afterCalls = 0);

    // Throws the scripted failure, if one is due for this operation.
    void maybeFail(const QString &operation);

    // Cell values of one workbook: "instance:workbook" -> address -> text.
    QMap<QString, QMap<QString, QString>> workbooks;
    QStringList log;
    int instancesStarted = 0;
    // Calls asking for an instance ahead of need, and to end one nobody took.
    int aheadStarts = 0;
    int unusedEnds = 0;

private:
    struct ScriptedFailure {
        int number;
        int callsToSkip;
    };
    QMap<QString, ScriptedFailure> failures_;
};

}  // namespace qm::test
