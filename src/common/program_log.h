#pragma once

#include <QLoggingCategory>
#include <QStringView>

namespace qm {

class Failure;

// One logging category per module, so that a support call can ask for one
// module's lines ("QT_LOGGING_RULES=qm.archive.debug=true") or read them all
// from the program's standard error or `journalctl --user`.
Q_DECLARE_LOGGING_CATEGORY(logApp)
Q_DECLARE_LOGGING_CATEGORY(logSettings)
Q_DECLARE_LOGGING_CATEGORY(logInput)
Q_DECLARE_LOGGING_CATEGORY(logDocument)
Q_DECLARE_LOGGING_CATEGORY(logOffice)
Q_DECLARE_LOGGING_CATEGORY(logArchive)

// Writes a failure the mechanic is shown to the log: its number, the step that
// failed, the file concerned (empty when none), the Russian description and
// the technical detail. Act contents never go to the log beyond file names.
void logShownFailure(const QLoggingCategory &category, const Failure &failure, QStringView step, QStringView file = {});

}  // namespace qm
