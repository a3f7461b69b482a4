#include "engine/log_window.h"

#include <mutex>

namespace zor {
namespace {
std::mutex g_sinkMutex;
LogWindowSink& Sink() {
  static LogWindowSink sink;
  return sink;
}
}  // namespace

LogWindowSink SetLogWindowSink(LogWindowSink sink) {
  std::lock_guard<std::mutex> lock(g_sinkMutex);
  LogWindowSink previous = std::move(Sink());
  Sink() = std::move(sink);
  return previous;
}

void SendLogText(WindowHandle window, const std::u16string& text) {
  LogWindowSink sink;
  {
    std::lock_guard<std::mutex> lock(g_sinkMutex);
    sink = Sink();
  }
  uint32_t bytes = static_cast<uint32_t>(text.size() * 2);
  if (sink)
    sink(window, kLogWindowMessage, text.c_str(), bytes);
  else
    PlatformSendLogText(window, kLogWindowMessage, text.c_str(), bytes);
}

}  // namespace zor
