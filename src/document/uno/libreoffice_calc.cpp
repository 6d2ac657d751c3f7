#include "document/uno/libreoffice_calc.h"

#include "document/uno/calc_instance.h"
#include "document/uno/office_ahead.h"
#include "document/uno/office_launch.h"

#include "common/failure.h"

#include <optional>
#include <vector>

namespace qm {

namespace {

class LibreOfficeCalc : public SpreadsheetApplication {
public:
    explicit LibreOfficeCalc(LibreOfficeOptions options) : options_(std::move(options)) {}
    ~LibreOfficeCalc() override { endUnusedInstance(); }
    LibreOfficeCalc(const LibreOfficeCalc &) = delete;
    LibreOfficeCalc &operator=(const LibreOfficeCalc &) = delete;

    // The office of the last act while it still answers; connecting anew costs
    // more than the rest of an act. Otherwise the office started ahead, or a new
    // office process: with the user's profile an office already running takes
    // the new pipe over, which is how LibreOffice shares one process between
    // its windows.
    std::unique_ptr<SpreadsheetInstance> startInstance() override
    {
        if (kept_ && kept_->answers())
            return std::make_unique<calc::CalcInstance>(kept_, options_.printToFile);
        kept_.reset();
        std::optional<calc::OfficeConnection> office;
        if (ahead_) {
            office = ahead_->takeOver();
            own_.push_back(std::move(ahead_->office()));
            ahead_.reset();
        }
        // The office started ahead was connected while it came up; it may have
        // died since.
        if (office) {
            kept_ = std::make_shared<calc::OfficeSession>(std::move(*office));
            if (!kept_->answers())
                kept_.reset();
        }
        if (!kept_)
            kept_ = std::make_shared<calc::OfficeSession>(launch());
        return std::make_unique<calc::CalcInstance>(kept_, options_.printToFile);
    }

    void startInstanceAhead(const QString &templatePath) override
    {
        if (ahead_ || kept_)
            return;
        try {
            ahead_.emplace(options_, templatePath);
        } catch (const Failure &) {
            // Nobody asked for an office yet: the first act starts one as usual
            // and reports then what goes wrong.
        }
    }

    void endUnusedInstance() noexcept override
    {
        kept_.reset();
        if (ahead_) {
            ahead_->stop();
            ahead_->office().endIfUnused();
            ahead_.reset();
        }
        for (calc::OwnedOffice &office : own_)
            office.endIfUnused();
        own_.clear();
    }

private:
    calc::OfficeConnection launch()
    {
        // The runtime first: a failure to set it up must not leave an office behind.
        calc::localContext();
        calc::OwnedOffice &office = own_.emplace_back(calc::OwnedOffice::launch(options_));
        try {
            // The launcher's end tells at once that the office died while starting.
            return calc::connectToOffice(office.started.pipeName, options_, [&office] { return office.isRunning(); });
        } catch (const Failure &) {
            // One that hangs must not linger unseen beside the one the retry starts.
            calc::terminateOfficeProcesses(office.started.pid, office.started.pipeName);
            throw;
        }
    }

    LibreOfficeOptions options_;
    std::optional<calc::OfficeStartedAhead> ahead_;
    // Every office this program started and has not ended; the watchdog of
    // each stays armed until then.
    std::vector<calc::OwnedOffice> own_;
    std::shared_ptr<calc::OfficeSession> kept_;
};

}  // namespace

std::unique_ptr<SpreadsheetApplication> makeLibreOfficeCalc(const LibreOfficeOptions &options)
{
    return std::make_unique<LibreOfficeCalc>(options);
}

}  // namespace qm
