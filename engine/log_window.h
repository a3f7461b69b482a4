// Delivery of log lines to a window.
//
// On Windows a line goes to the window as message 1033 (the first user
// message + 9) sent synchronously, with a pointer to the UTF-16 text in the
// first parameter and its length in bytes in the second. Elsewhere there are
// no windows; a program (or a test) that wants the lines installs a sink,
// which then replaces the platform's delivery on every system.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/result_codes.h"

namespace zor {

constexpr uint32_t kLogWindowMessage = 0x0400 + 9;

// `text` holds `bytes` / 2 UTF-16 units (the line and CR LF); valid only
// during the call.
using LogWindowSink = std::function<void(WindowHandle window, uint32_t message, const char16_t* text, uint32_t bytes)>;

// Installs `sink` (empty: the platform's delivery) and returns the previous.
LogWindowSink SetLogWindowSink(LogWindowSink sink);

// Sends `text` to `window` through the sink or the platform.
void SendLogText(WindowHandle window, const std::u16string& text);

// Implemented per platform: SendMessage on Windows, nothing elsewhere.
void PlatformSendLogText(WindowHandle window, uint32_t message, const char16_t* text, uint32_t bytes);

}  // namespace zor
