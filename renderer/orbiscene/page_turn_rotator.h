// CPageTurnRotator: the window rotator of "Orbiscene.dll". It keeps two
// pictures of a window, shows the first in a topmost overlay and turns it
// like a page to reveal the second.
#pragma once

#include "renderer/devil/orb_image.h"
#include "renderer/orbit_rotator.h"

class CPageTurnRotator final : public COrbitRotator {
 public:
  CPageTurnRotator() = default;
  CPageTurnRotator(const CPageTurnRotator&) = delete;
  CPageTurnRotator& operator=(const CPageTurnRotator&) = delete;

  // From the process heap, and null when it is exhausted: the library then
  // needs nothing of the C++ runtime's allocation and exception support.
  static void* operator new(size_t size) noexcept;
  static void operator delete(void* block) noexcept;

  bool ORBIT_ROTATOR_CALL Initialize() override;
  void ORBIT_ROTATOR_CALL Release() override;
  void ORBIT_ROTATOR_CALL SetHostWindow(HWND host) override;
  void ORBIT_ROTATOR_CALL HideOverlay() override;
  void ORBIT_ROTATOR_CALL PlayTurn(int durationMs, int direction, int reserved1, int reserved2,
                                   int reserved3) override;
  void ORBIT_ROTATOR_CALL CaptureStartPicture(HWND window) override;
  void ORBIT_ROTATOR_CALL CaptureEndPicture(HWND window) override;
  void ORBIT_ROTATOR_CALL ShowOverlay() override;
  HWND ORBIT_ROTATOR_CALL GetOverlayWindow() override;
  int ORBIT_ROTATOR_CALL GetLastTurnFrames() override;

  // The overlay's window procedure; the rotator rides in its user data.
  static LRESULT CALLBACK OverlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  ~CPageTurnRotator();

  void DropPictures();
  void DestroyOverlay();
  // Draws the turn at `progress` (0 .. 1, already eased) into frame_.
  void DrawFrame(float progress, bool forward);
  void PresentFrame();
  // Paints and sent messages only: anything else could re-enter the caller
  // in the middle of its page switch.
  void PumpPaintMessages();

  bool ready_ = false;
  HWND host_ = nullptr;
  HWND overlay_ = nullptr;
  RECT overlayRect_ = {};
  OrbImage* start_ = nullptr;
  OrbImage* end_ = nullptr;
  OrbImage* frame_ = nullptr;
  // What the overlay paints: start_ before the turn, frame_ from its first
  // frame on.
  OrbImage* shown_ = nullptr;
  int lastFrames_ = 0;
  // Calls arriving through the messages PlayTurn dispatches.
  bool playing_ = false;
  bool stopRequested_ = false;
  bool hideRequested_ = false;
  bool releaseRequested_ = false;
};
