#pragma once

#include "app/prompts/prompts.h"
#include "common/failure.h"

#include <functional>

namespace qm {

// The message of a failure that no command handles: its number and description,
// title "Quillmarch", stop icon, OK.
MessageRequest unhandledFailureMessage(const Failure &failure);

// Runs one command of a window. A failure it raises is shown with its number and
// description, and the program goes on: ending it would throw away the act the
// mechanic has typed. The failure shown also goes to the log, under the
// command's name. Returns false when the command failed.
bool runGuarded(Prompts &prompts, QStringView command, const std::function<void()> &run);
bool runGuarded(Prompts &prompts, const std::function<void()> &command);

}  // namespace qm
