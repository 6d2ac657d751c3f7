#include "document/uno/libreoffice_calc.h"

#include "document/uno/calc_instance.h"
#include "document/uno/office_launch.h"

namespace qm {

namespace {

class LibreOfficeCalc : public SpreadsheetApplication {
public:
    explicit LibreOfficeCalc(LibreOfficeOptions options) : options_(std::move(options)) {}

    // A new office process of its own is asked for every time; with the user's
    // profile an office already running takes the new pipe over, which is how
    // LibreOffice shares one process between its windows.
    std::unique_ptr<SpreadsheetInstance> startInstance() override
    {
        return std::make_unique<calc::CalcInstance>(calc::launchOffice(options_), options_.printToFile);
    }

private:
    LibreOfficeOptions options_;
};

}  // namespace

std::unique_ptr<SpreadsheetApplication> makeLibreOfficeCalc(const LibreOfficeOptions &options)
{
    return std::make_unique<LibreOfficeCalc>(options);
}

}  // namespace qm
