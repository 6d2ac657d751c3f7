#include "document/uno/libreoffice_calc.h"

#include "document/uno/calc_instance.h"
#include "document/uno/office_ahead.h"
#include "document/uno/office_launch.h"

#include "common/failure.h"

#include <optional>

namespace qm {

namespace {

class LibreOfficeCalc : public SpreadsheetApplication {
public:
    explicit LibreOfficeCalc(LibreOfficeOptions options) : options_(std::move(options)) {}
    ~LibreOfficeCalc() override { endUnusedInstance(); }
    LibreOfficeCalc(const LibreOfficeCalc &) = delete;
    LibreOfficeCalc &operator=(const LibreOfficeCalc &) = delete;

    // A new office process of its own is asked for every time; with the user's
    // profile an office already running takes the new pipe over, which is how
    // LibreOffice shares one process between its windows. The office started
    // ahead is such a new process too, only started earlier.
    std::unique_ptr<SpreadsheetInstance> startInstance() override
    {
        if (ahead_) {
            std::optional<calc::OfficeConnection> office = ahead_->takeOver();
            ahead_.reset();
            if (office)
                return std::make_unique<calc::CalcInstance>(std::move(*office), options_.printToFile);
        }
        return std::make_unique<calc::CalcInstance>(calc::launchOffice(options_), options_.printToFile);
    }

    void startInstanceAhead() override
    {
        if (ahead_)
            return;
        try {
            ahead_.emplace(options_);
        } catch (const Failure &) {
            // Nobody asked for an office yet: the first act starts one as usual
            // and reports then what goes wrong.
        }
    }

    void endUnusedInstance() override
    {
        if (ahead_)
            ahead_->end();
        ahead_.reset();
    }

private:
    LibreOfficeOptions options_;
    std::optional<calc::OfficeStartedAhead> ahead_;
};

}  // namespace

std::unique_ptr<SpreadsheetApplication> makeLibreOfficeCalc(const LibreOfficeOptions &options)
{
    return std::make_unique<LibreOfficeCalc>(options);
}

}  // namespace qm
