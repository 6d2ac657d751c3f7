#pragma once

#include "input/keyboard_layout.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace qm {

// sway's IPC message types the program uses.
enum class SwayMessage : std::uint32_t {
    RunCommand = 0,
    GetInputs = 100,
};

// One request on sway's IPC socket: the "i3-ipc" magic, the payload's length
// and the message type (both 32-bit, in the machine's byte order), then the
// payload; the reply is framed alike. The reply's payload, or none when the
// socket cannot be reached or does not answer in kind within `timeout`.
std::optional<QByteArray> swayRequest(const QString &socketPath, SwayMessage type, const QByteArray &payload,
                                      std::chrono::milliseconds timeout);

// The layouts of sway's keyboards, through the socket at `socketPath`
// ($SWAYSOCK). Every call asks sway afresh and waits at most `timeout`.
std::unique_ptr<KeyboardLayout> makeSwayKeyboardLayout(const QString &socketPath, std::chrono::milliseconds timeout);

}  // namespace qm
