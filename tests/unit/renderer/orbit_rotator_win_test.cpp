// The window rotator of the built "Orbiscene.dll", driven through its table
// of operations the way the setup's wizard drives it. Tests that need windows
// skip themselves where there is no display (plain Wine without X); run them
// under xvfb-run to exercise the overlay and the turn.
#if defined(_WIN32) && defined(ZOR_RENDERER_DIR)

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

#include "renderer/orbit_rotator.h"
#include "tests/unit/renderer/renderer_win.h"

using namespace zortest;

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kStartColour = 0xC02020;
constexpr uint32_t kEndColour = 0x2040D0;

// A window whose next paint runs `action`: the way a call reaches the
// rotator from inside the messages PlayTurn dispatches.
std::function<void()> g_onPaint;

LRESULT CALLBACK MeddlerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    if (g_onPaint) {
      auto action = std::move(g_onPaint);
      g_onPaint = nullptr;
      action();
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeMeddler() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = MeddlerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ZorTestMeddler";
  RegisterClassExW(&wc);
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10,
                                nullptr, nullptr, wc.hInstance, nullptr);
  // Not activated: destroying an active window makes Wine wait for the
  // window manager.
  if (window) ShowWindow(window, SW_SHOWNOACTIVATE);
  return window;
}

class OrbitRotator : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(library_.handle(), nullptr) << GetLastError();
    auto create = library_.Get<CreateOrbitWindowFunction>(ORBIT_ROTATOR_ENTRY_POINT);
    ASSERT_NE(create, nullptr);
    rotator = create();
    ASSERT_NE(rotator, nullptr);
  }
  void TearDown() override {
    if (rotator) rotator->Release();
    for (HWND w : windows_) DestroyWindow(w);
  }

  // The start and end windows as the wizard has them: same size, the end
  // one off the screen. False without a display.
  bool MakeWindows() {
    start = MakeColourWindow(kStartColour, 40, 30, 160, 120);
    end = MakeColourWindow(kEndColour, 3000, 0, 160, 120);
    if (start) windows_.push_back(start);
    if (end) windows_.push_back(end);
    return start && end;
  }

  // Ready, with the start picture on the overlay and the end picture taken.
  void PrepareTurn() {
    ASSERT_TRUE(rotator->Initialize());
    rotator->SetHostWindow(GetDesktopWindow());
    rotator->CaptureStartPicture(start);
    rotator->ShowOverlay();
    ASSERT_NE(rotator->GetOverlayWindow(), nullptr);
    rotator->CaptureEndPicture(end);
  }

  double TimedTurn(int durationMs, int direction = 1) {
    const auto begin = Clock::now();
    rotator->PlayTurn(durationMs, direction, 0, 0, 0);
    return MillisecondsSince(begin);
  }

  RendererLibrary library_{L"Orbiscene.dll"};
  COrbitRotator* rotator = nullptr;
  HWND start = nullptr;
  HWND end = nullptr;
  std::vector<HWND> windows_;
};

}  // namespace

TEST_F(OrbitRotator, MissingWindowsChangeNothing) {
  ASSERT_TRUE(rotator->Initialize());
  const HWND destroyed = reinterpret_cast<HWND>(static_cast<uintptr_t>(0xDEAD0));
  rotator->SetHostWindow(nullptr);
  rotator->SetHostWindow(destroyed);
  for (HWND w : {HWND(nullptr), destroyed}) {
    rotator->CaptureStartPicture(w);
    rotator->ShowOverlay();
    rotator->CaptureEndPicture(w);
    EXPECT_EQ(rotator->GetOverlayWindow(), nullptr);
    EXPECT_LT(TimedTurn(800), 100.0);
    EXPECT_EQ(rotator->GetLastTurnFrames(), 0);
    rotator->HideOverlay();
  }
  EXPECT_EQ(rotator->GetOverlayWindow(), nullptr);
}

TEST_F(OrbitRotator, NothingHappensBeforeInitialize) {
  if (!MakeWindows()) GTEST_SKIP() << "no display to create windows on";
  rotator->SetHostWindow(GetDesktopWindow());
  rotator->CaptureStartPicture(start);
  rotator->ShowOverlay();
  EXPECT_EQ(rotator->GetOverlayWindow(), nullptr);
  // Release alone (in TearDown) is still allowed.
}

TEST_F(OrbitRotator, ZeroSizeWindowGivesNoOverlay) {
  HWND flat = MakeColourWindow(kStartColour, 10, 10, 0, 0);
  if (!flat) GTEST_SKIP() << "no display to create windows on";
  windows_.push_back(flat);
  ASSERT_TRUE(rotator->Initialize());
  rotator->CaptureStartPicture(flat);
  rotator->ShowOverlay();
  EXPECT_EQ(rotator->GetOverlayWindow(), nullptr);
}

TEST_F(OrbitRotator, TurnsFromTheStartPictureToTheEndPicture) {
  if (!MakeWindows()) GTEST_SKIP() << "no display to create windows on";
  for (int direction : {1, -1}) {
    SCOPED_TRACE(direction);
    PrepareTurn();
    HWND overlay = rotator->GetOverlayWindow();
    // Over the start window's rectangle, on top, without taking the focus.
    RECT overlayRect, startRect;
    GetWindowRect(overlay, &overlayRect);
    GetWindowRect(start, &startRect);
    EXPECT_TRUE(EqualRect(&overlayRect, &startRect));
    EXPECT_TRUE(IsWindowVisible(overlay));
    EXPECT_TRUE(GetWindowLongPtrW(overlay, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(GetForegroundWindow(), overlay);
    EXPECT_TRUE(Near(PrintedColourAt(overlay, 80, 60), kStartColour)) << std::hex << PrintedColourAt(overlay, 80, 60);

    const double elapsed = TimedTurn(100, direction);
    EXPECT_GE(elapsed, 95.0);
    EXPECT_LT(elapsed, 2000.0);
    EXPECT_GE(rotator->GetLastTurnFrames(), 2);
    EXPECT_TRUE(Near(PrintedColourAt(overlay, 80, 60), kEndColour)) << std::hex << PrintedColourAt(overlay, 80, 60);
    EXPECT_TRUE(Near(PrintedColourAt(overlay, 2, 2), kEndColour));
    EXPECT_TRUE(Near(PrintedColourAt(overlay, 157, 117), kEndColour));

    rotator->HideOverlay();
    EXPECT_EQ(rotator->GetOverlayWindow(), nullptr);
    EXPECT_FALSE(IsWindow(overlay));
    // The pictures went with the overlay.
    rotator->ShowOverlay();
    EXPECT_EQ(rotator->GetOverlayWindow(), nullptr);
  }
}

TEST_F(OrbitRotator, TurnWithoutDurationReturnsAtOnce) {
  if (!MakeWindows()) GTEST_SKIP() << "no display to create windows on";
  PrepareTurn();
  for (int duration : {0, -1, -800}) {
    EXPECT_LT(TimedTurn(duration), 50.0) << duration;
    EXPECT_EQ(rotator->GetLastTurnFrames(), 0);
  }
  EXPECT_TRUE(Near(PrintedColourAt(rotator->GetOverlayWindow(), 80, 60), kStartColour));
}

TEST_F(OrbitRotator, TurnNeedsBothPicturesAndTheOverlay) {
  if (!MakeWindows()) GTEST_SKIP() << "no display to create windows on";
  ASSERT_TRUE(rotator->Initialize());
  rotator->CaptureStartPicture(start);
  rotator->CaptureEndPicture(end);
  // No overlay shown yet.
  EXPECT_LT(TimedTurn(300), 50.0);
  rotator->ShowOverlay();
  // A failed end capture drops the earlier one.
  rotator->CaptureEndPicture(nullptr);
  EXPECT_LT(TimedTurn(300), 50.0);
  rotator->CaptureEndPicture(end);
  // Someone else destroyed the overlay.
  DestroyWindow(rotator->GetOverlayWindow());
  EXPECT_EQ(rotator->GetOverlayWindow(), nullptr);
  EXPECT_LT(TimedTurn(300), 50.0);
  EXPECT_EQ(rotator->GetLastTurnFrames(), 0);
  // Shown again, it turns.
  rotator->ShowOverlay();
  EXPECT_GE(TimedTurn(60), 55.0);
  EXPECT_GE(rotator->GetLastTurnFrames(), 2);
}

TEST_F(OrbitRotator, EndPictureOfAnotherSizeIsFitted) {
  if (!MakeWindows()) GTEST_SKIP() << "no display to create windows on";
  HWND larger = MakeColourWindow(kEndColour, 3000, 200, 300, 90);
  ASSERT_NE(larger, nullptr);
  windows_.push_back(larger);
  ASSERT_TRUE(rotator->Initialize());
  // Taken before the start picture exists, so at the window's own size.
  rotator->CaptureEndPicture(larger);
  rotator->CaptureStartPicture(start);
  rotator->ShowOverlay();
  EXPECT_GE(TimedTurn(40), 35.0);
  HWND overlay = rotator->GetOverlayWindow();
  for (auto [x, y] : {std::pair{1, 1}, std::pair{80, 60}, std::pair{158, 118}}) {
    EXPECT_TRUE(Near(PrintedColourAt(overlay, x, y), kEndColour)) << x << "," << y;
  }
}

TEST_F(OrbitRotator, HideDuringTheTurnEndsIt) {
  if (!MakeWindows()) GTEST_SKIP() << "no display to create windows on";
  HWND meddler = MakeMeddler();
  ASSERT_NE(meddler, nullptr);
  windows_.push_back(meddler);
  PrepareTurn();
  HWND overlay = rotator->GetOverlayWindow();
  COrbitRotator* r = rotator;
  g_onPaint = [r] { r->HideOverlay(); };
  InvalidateRect(meddler, nullptr, FALSE);
  EXPECT_LT(TimedTurn(3000), 1500.0);
  EXPECT_EQ(g_onPaint, nullptr);  // the paint came through
  EXPECT_EQ(rotator->GetOverlayWindow(), nullptr);
  EXPECT_FALSE(IsWindow(overlay));
}

TEST_F(OrbitRotator, ReleaseDuringTheTurnWaitsForItsEnd) {
  if (!MakeWindows()) GTEST_SKIP() << "no display to create windows on";
  HWND meddler = MakeMeddler();
  ASSERT_NE(meddler, nullptr);
  windows_.push_back(meddler);
  PrepareTurn();
  HWND overlay = rotator->GetOverlayWindow();
  COrbitRotator* r = rotator;
  g_onPaint = [r] { r->Release(); };
  InvalidateRect(meddler, nullptr, FALSE);
  const auto begin = Clock::now();
  r->PlayTurn(3000, 1, 0, 0, 0);
  EXPECT_LT(MillisecondsSince(begin), 1500.0);
  EXPECT_EQ(g_onPaint, nullptr);
  rotator = nullptr;  // released
  EXPECT_FALSE(IsWindow(overlay));
}

TEST_F(OrbitRotator, AnotherRotatorCanTurnAfterTheFirstIsGone) {
  if (!MakeWindows()) GTEST_SKIP() << "no display to create windows on";
  PrepareTurn();
  rotator->PlayTurn(30, 1, 0, 0, 0);
  rotator->Release();
  rotator = library_.Get<CreateOrbitWindowFunction>(ORBIT_ROTATOR_ENTRY_POINT)();
  ASSERT_NE(rotator, nullptr);
  PrepareTurn();
  EXPECT_GE(TimedTurn(40), 35.0);
  EXPECT_TRUE(Near(PrintedColourAt(rotator->GetOverlayWindow(), 80, 60), kEndColour));
}

#endif
