// The window rotator: the page-turn object that "Orbiscene.dll" makes. The
// setup loads the library, calls its export "createOrbitWindow" (no
// arguments, C linkage, undecorated name on every architecture) and then
// calls the object only through its table of virtual operations.
//
// Binary contract with the setup, which relies on the table's layout:
// - The first eight slots are, in this order: Initialize, Release,
//   SetHostWindow, HideOverlay, PlayTurn, CaptureStartPicture,
//   CaptureEndPicture, ShowOverlay. Later slots are this library's own and may
//   grow; never insert before them. There is deliberately no virtual
//   destructor: it would take slots of its own (two with g++) before the
//   others. The object is destroyed by Release.
// - Every operation uses the platform's member-function convention, written
//   out below so that a caller built by another compiler agrees: thiscall on
//   32-bit x86 (object pointer in ECX, arguments on the stack, the callee
//   removes them), the one x64 convention on 64-bit Windows.
// - Initialize returns a one-byte boolean (AL on x86).
//
// Behaviour every caller may count on: no operation crashes or hangs on a
// null, destroyed or zero-size window, or when a picture is missing; such
// calls change nothing. Before a successful Initialize every operation other
// than Release does nothing.
#pragma once

#include <windows.h>

#if defined(_M_IX86) || defined(__i386__)
#define ORBIT_ROTATOR_CALL __thiscall
#else
#define ORBIT_ROTATOR_CALL
#endif

class COrbitRotator {
 public:
  // Slot 0. Checks that the supporting libraries are the ones this renderer
  // was built with and that a screen is there to draw on; true when ready.
  // A rotator that is not ready is useless and may simply be dropped.
  virtual bool ORBIT_ROTATOR_CALL Initialize() = 0;
  // Slot 1. Hides the overlay, frees the pictures and destroys the object.
  // Called during PlayTurn (from a window message it dispatched), the object
  // stays alive until PlayTurn has returned.
  virtual void ORBIT_ROTATOR_CALL Release() = 0;
  // Slot 2. The window the overlay belongs to: it owns the overlay unless it
  // is the desktop window (then the overlay has no owner). A null or invalid
  // handle clears it.
  virtual void ORBIT_ROTATOR_CALL SetHostWindow(HWND host) = 0;
  // Slot 3. Destroys the overlay and frees the pictures. During PlayTurn it
  // ends the animation first.
  virtual void ORBIT_ROTATOR_CALL HideOverlay() = 0;
  // Slot 4. Turns the overlay from the start picture to the end picture over
  // `durationMs` (at most 10 seconds), drawing about 60 frames a second and
  // dispatching only paint and sent messages meanwhile; returns when the end
  // picture is shown. `direction` below 0 turns the other way (the page lifts
  // at its left edge); `reserved1..3` are for later use, pass 0. Returns at
  // once when `durationMs` <= 0, the overlay is not shown or a picture is
  // missing.
  virtual void ORBIT_ROTATOR_CALL PlayTurn(int durationMs, int direction, int reserved1, int reserved2,
                                           int reserved3) = 0;
  // Slot 5. Takes the picture of `window` (with its frame) as it looks now;
  // the overlay will cover the window's current screen rectangle. A failed
  // capture drops the previous start picture.
  virtual void ORBIT_ROTATOR_CALL CaptureStartPicture(HWND window) = 0;
  // Slot 6. Takes the picture to turn to. The window may be off the screen;
  // the picture is fitted to the start picture's size.
  virtual void ORBIT_ROTATOR_CALL CaptureEndPicture(HWND window) = 0;
  // Slot 7. Shows a topmost overlay over the start picture's rectangle,
  // showing the start picture, without taking the focus.
  virtual void ORBIT_ROTATOR_CALL ShowOverlay() = 0;

  // Slots from 8 on: this library's own.

  // Slot 8. The overlay window while it is shown, else null.
  virtual HWND ORBIT_ROTATOR_CALL GetOverlayWindow() = 0;
  // Slot 9. Frames drawn by the last PlayTurn (0 when it returned at once).
  virtual int ORBIT_ROTATOR_CALL GetLastTurnFrames() = 0;

 protected:
  ~COrbitRotator() = default;
};

// The export "createOrbitWindow": a new rotator, or null when out of memory.
using CreateOrbitWindowFunction = COrbitRotator* (*)();
#define ORBIT_ROTATOR_ENTRY_POINT "createOrbitWindow"
