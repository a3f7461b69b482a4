// Helpers for tests of the built renderer libraries under Windows: loading
// them from the build folder and plain coloured windows to take pictures of.
#pragma once

#if defined(_WIN32) && defined(ZOR_RENDERER_DIR)

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "common/wstr.h"

namespace zortest {

inline std::wstring RendererPath(const wchar_t* file) {
  return zor::FromUtf8(ZOR_RENDERER_DIR) + L"\\" + file;
}

// A library of the build folder. Its own imports are looked up beside it, as
// they are in the system folder the setup loads it from.
class RendererLibrary {
 public:
  explicit RendererLibrary(const wchar_t* file)
      : handle_(LoadLibraryExW(RendererPath(file).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {}
  ~RendererLibrary() {
    if (handle_) FreeLibrary(handle_);
  }
  RendererLibrary(const RendererLibrary&) = delete;
  RendererLibrary& operator=(const RendererLibrary&) = delete;

  HMODULE handle() const { return handle_; }
  template <typename F>
  F Get(const char* name) const {
    return handle_ ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(handle_, name))) : nullptr;
  }

 private:
  HMODULE handle_;
};

// A borderless window filled with one colour (0x00RRGGBB), whether it is
// painted on screen or asked to print itself. Null without a display.
HWND MakeColourWindow(uint32_t rgb, int x, int y, int width, int height);
// The colour (0x00RRGGBB) at x, y of the picture that `window` prints of
// itself; 0xFFFFFFFF when it cannot be printed.
uint32_t PrintedColourAt(HWND window, int x, int y);
// Whether two 0x00RRGGBB colours differ by at most `tolerance` in each channel.
bool Near(uint32_t a, uint32_t b, int tolerance = 24);

inline double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace zortest

#endif
