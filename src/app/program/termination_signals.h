#pragma once

namespace qm {

class SpreadsheetApplication;

// SIGTERM and SIGHUP (a session that ends, a service manager that stops us)
// and SIGINT end the program as they always did, but first the office it
// started, as «Выход» would: nothing invisible is left running. The handler
// only notes the signal; the work runs in the event loop, once the command
// under way waits for the mechanic or has finished.
void endOfficeOnTerminationSignals(SpreadsheetApplication &spreadsheet);

}  // namespace qm
