#include "renderer/orbiscene/page_turn_rotator.h"

#include <mmsystem.h>

#include "renderer/d3dx9_35/fold_math.h"
#include "renderer/ilu/orb_strip.h"
#include "renderer/ilut/orb_blit.h"

// The module this code lives in, for the overlay's window class.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

const wchar_t kOverlayClass[] = L"TarvexOrbisceneOverlay";
constexpr int kMaxDurationMs = 10000;
constexpr double kFrameMs = 1000.0 / 60.0;
// A window whose paint handler never validates would otherwise keep the pump
// busy for ever.
constexpr int kMaxMessagesPerFrame = 32;

HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

bool RegisterOverlayClass() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &CPageTurnRotator::OverlayProc;
  wc.hInstance = ThisModule();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kOverlayClass;
  // Another rotator of this module may have it registered already.
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

double NowMs() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Frame pacing needs the system timer at millisecond resolution for the
// length of the turn only.
class FineTimer {
 public:
  FineTimer() : active_(timeBeginPeriod(1) == TIMERR_NOERROR) {}
  ~FineTimer() {
    if (active_) timeEndPeriod(1);
  }
  FineTimer(const FineTimer&) = delete;
  FineTimer& operator=(const FineTimer&) = delete;

 private:
  bool active_;
};

}  // namespace

void* CPageTurnRotator::operator new(size_t size) noexcept { return HeapAlloc(GetProcessHeap(), 0, size); }

void CPageTurnRotator::operator delete(void* block) noexcept {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}

CPageTurnRotator::~CPageTurnRotator() {
  DestroyOverlay();
  DropPictures();
}

bool ORBIT_ROTATOR_CALL CPageTurnRotator::Initialize() {
  // The libraries beside this one must speak the same structures; a stale
  // copy of one of them would draw garbage or worse.
  if (orbImageApiLevel() != ORB_IMAGE_API_LEVEL || orbStripApiLevel() != ORB_STRIP_API_LEVEL ||
      orbBlitApiLevel() != ORB_BLIT_API_LEVEL || orbFoldApiLevel() != ORB_FOLD_API_LEVEL) {
    ready_ = false;
    return false;
  }
  HDC screen = GetDC(nullptr);
  ready_ = screen != nullptr;
  if (screen) ReleaseDC(nullptr, screen);
  return ready_;
}

void ORBIT_ROTATOR_CALL CPageTurnRotator::Release() {
  if (playing_) {
    stopRequested_ = releaseRequested_ = true;
    return;
  }
  delete this;
}

void ORBIT_ROTATOR_CALL CPageTurnRotator::SetHostWindow(HWND host) {
  if (!ready_) return;
  host_ = host && IsWindow(host) ? host : nullptr;
}

void ORBIT_ROTATOR_CALL CPageTurnRotator::HideOverlay() {
  if (!ready_) return;
  if (playing_) {
    stopRequested_ = hideRequested_ = true;
    return;
  }
  DestroyOverlay();
  DropPictures();
}

void ORBIT_ROTATOR_CALL CPageTurnRotator::CaptureStartPicture(HWND window) {
  if (!ready_ || playing_) return;
  if (shown_ == start_) shown_ = nullptr;
  orbImageDestroy(start_);
  start_ = nullptr;
  RECT rect;
  if (!window || !IsWindow(window) || !GetWindowRect(window, &rect)) return;
  start_ = orbBlitCaptureWindow(window, 0, 0);
  if (!start_) return;
  overlayRect_ = rect;
  shown_ = start_;
  if (overlay_) {
    SetWindowPos(overlay_, HWND_TOPMOST, rect.left, rect.top, orbImageWidth(start_), orbImageHeight(start_),
                 SWP_NOACTIVATE);
    InvalidateRect(overlay_, nullptr, FALSE);
  }
}

void ORBIT_ROTATOR_CALL CPageTurnRotator::CaptureEndPicture(HWND window) {
  if (!ready_ || playing_) return;
  orbImageDestroy(end_);
  end_ = nullptr;
  // Fitted to the start picture, so that both fill the same overlay.
  end_ = orbBlitCaptureWindow(window, orbImageWidth(start_), orbImageHeight(start_));
}

void ORBIT_ROTATOR_CALL CPageTurnRotator::ShowOverlay() {
  if (!ready_ || playing_ || !start_) return;
  const int width = orbImageWidth(start_);
  const int height = orbImageHeight(start_);
  if (!overlay_) {
    if (!RegisterOverlayClass()) return;
    HWND owner = host_ && IsWindow(host_) && host_ != GetDesktopWindow() ? host_ : nullptr;
    overlay_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kOverlayClass, L"", WS_POPUP,
                               overlayRect_.left, overlayRect_.top, width, height, owner, nullptr, ThisModule(), this);
    if (!overlay_) {
      // Without a window station (a service, a headless session) there is
      // nothing to show; the class goes again so no stale one outlives us.
      UnregisterClassW(kOverlayClass, ThisModule());
      return;
    }
  }
  SetWindowPos(overlay_, HWND_TOPMOST, overlayRect_.left, overlayRect_.top, width, height,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  // Painted now: the caller moves its own window away right after this.
  UpdateWindow(overlay_);
}

void ORBIT_ROTATOR_CALL CPageTurnRotator::PlayTurn(int durationMs, int direction, int, int, int) {
  lastFrames_ = 0;
  if (!ready_ || playing_ || durationMs <= 0 || !overlay_ || !start_ || !end_) return;
  const int width = orbImageWidth(start_);
  const int height = orbImageHeight(start_);
  if (orbImageWidth(end_) != width || orbImageHeight(end_) != height) {
    // Taken before the start picture (or before a new one): fit it now.
    OrbImage* fitted = orbImageCreate(width, height);
    if (!fitted || !orbImageScaleInto(fitted, end_)) {
      orbImageDestroy(fitted);
      return;
    }
    orbImageDestroy(end_);
    end_ = fitted;
  }
  if (!frame_ || orbImageWidth(frame_) != width || orbImageHeight(frame_) != height) {
    orbImageDestroy(frame_);
    frame_ = orbImageCreate(width, height);
    if (!frame_) return;
  }
  const double duration = durationMs < kMaxDurationMs ? durationMs : kMaxDurationMs;
  const bool forward = direction >= 0;
  playing_ = true;
  stopRequested_ = false;
  {
    FineTimer timer;
    const double begin = NowMs();
    for (;;) {
      const double elapsed = NowMs() - begin;
      // Cut short (a quit message, a hide request), the turn still ends on
      // the end picture.
      const bool last = elapsed >= duration || stopRequested_;
      const float t = last ? 1.0f : static_cast<float>(elapsed / duration);
      DrawFrame(orbEaseInOut(t), forward);
      shown_ = frame_;
      PresentFrame();
      ++lastFrames_;
      if (last || !overlay_) break;
      PumpPaintMessages();
      const double wait = kFrameMs - (NowMs() - begin - elapsed);
      // Wakes early for a paint or a sent message only: input stays queued
      // for the caller, and waking for it would spin.
      if (wait >= 1.0)
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(wait), QS_PAINT | QS_SENDMESSAGE, 0);
    }
  }
  playing_ = false;
  if (releaseRequested_) {
    delete this;
    return;
  }
  if (hideRequested_) {
    hideRequested_ = false;
    HideOverlay();
  }
}

HWND ORBIT_ROTATOR_CALL CPageTurnRotator::GetOverlayWindow() { return overlay_; }

int ORBIT_ROTATOR_CALL CPageTurnRotator::GetLastTurnFrames() { return lastFrames_; }

void CPageTurnRotator::DropPictures() {
  orbImageDestroy(start_);
  orbImageDestroy(end_);
  orbImageDestroy(frame_);
  start_ = end_ = frame_ = shown_ = nullptr;
}

void CPageTurnRotator::DestroyOverlay() {
  if (overlay_) {
    HWND window = overlay_;
    overlay_ = nullptr;
    DestroyWindow(window);
  }
  // Fails harmlessly while another rotator of this module still shows one.
  UnregisterClassW(kOverlayClass, ThisModule());
}

void CPageTurnRotator::DrawFrame(float progress, bool forward) {
  const int width = orbImageWidth(frame_);
  OrbFoldLayout layout;
  orbFoldLayout(progress, width, forward ? 1 : 0, &layout);
  for (int x = 0; x < width; ++x) {
    OrbFoldColumn column;
    orbFoldColumn(&layout, x, &column);
    OrbImage* source = column.layer == ORB_LAYER_END ? end_ : start_;
    orbStripCompose(frame_, x, source, column.source, 1, column.shade, column.wash);
  }
}

void CPageTurnRotator::PresentFrame() {
  if (!overlay_) return;
  HDC dc = GetDC(overlay_);
  if (!dc) return;
  orbBlitPresent(dc, 0, 0, frame_);
  ReleaseDC(overlay_, dc);
}

void CPageTurnRotator::PumpPaintMessages() {
  MSG message;
  for (int i = 0; i < kMaxMessagesPerFrame; ++i) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE)) break;
    if (message.message == WM_QUIT) {
      // Not ours to take: leave it for the caller's loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      stopRequested_ = true;
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK CPageTurnRotator::OverlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CPageTurnRotator*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_NCDESTROY:
      // Destroyed by someone else (the owner went, the session ends): forget
      // it so nothing draws into a dead window.
      if (self && self->overlay_ == window) self->overlay_ = nullptr;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      if (dc && self && self->shown_) orbBlitPresent(dc, 0, 0, self->shown_);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      // Screenshots and magnifiers ask the window to draw itself.
      if (self && self->shown_) orbBlitPresent(reinterpret_cast<HDC>(wParam), 0, 0, self->shown_);
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
