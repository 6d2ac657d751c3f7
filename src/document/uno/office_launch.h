#pragma once

#include "document/uno/libreoffice_calc.h"

#include <QString>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

namespace qm::calc {

// A connection to one office process, reached over a named pipe.
struct OfficeConnection {
    css::uno::Reference<css::uno::XComponentContext> context;
    css::uno::Reference<css::frame::XDesktop2> desktop;
    QString pipeName;
};

// Starts soffice listening on a pipe of its own and connects to it.
// Throws Failure 429 when the office cannot be started or does not answer in time.
OfficeConnection launchOffice(const LibreOfficeOptions &options);

// The UNO runtime of this process, set up on first use; throws Failure 429.
css::uno::Reference<css::uno::XComponentContext> localContext();

}  // namespace qm::calc
