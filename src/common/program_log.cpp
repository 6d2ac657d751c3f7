#include "common/program_log.h"

#include "common/failure.h"

namespace qm {

Q_LOGGING_CATEGORY(logApp, "qm.app", QtInfoMsg)
Q_LOGGING_CATEGORY(logSettings, "qm.settings", QtInfoMsg)
Q_LOGGING_CATEGORY(logInput, "qm.input", QtInfoMsg)
Q_LOGGING_CATEGORY(logDocument, "qm.document", QtInfoMsg)
Q_LOGGING_CATEGORY(logOffice, "qm.office", QtInfoMsg)
Q_LOGGING_CATEGORY(logArchive, "qm.archive", QtInfoMsg)

void logShownFailure(const QLoggingCategory &category, const Failure &failure, QStringView step, QStringView file)
{
    if (!category.isWarningEnabled())
        return;
    QMessageLogger(nullptr, 0, nullptr, category.categoryName()).warning().noquote().nospace()
        << "failure " << failure.number() << " at step \"" << step << "\""
        << (file.isEmpty() ? QString() : QStringLiteral(" file \"%1\"").arg(file)) << ": " << failure.description()
        << (failure.technicalDetail().isEmpty() ? QString() : QStringLiteral(" [%1]").arg(failure.technicalDetail()));
}

}  // namespace qm
