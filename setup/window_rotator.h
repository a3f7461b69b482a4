// The window rotator as the setup sees it: the page-turn object that the
// renderer library "Orbiscene.dll" makes through its export
// "createOrbitWindow", and the loading of that library at start-up.
//
// The renderer's object is reached only through IWindowRotator: the Windows
// build wraps the library's object (renderer/orbit_rotator.h), tests give a
// fake, so the start-up rules run without the library.
#pragma once

#include <memory>

#include "engine/result_codes.h"
#include "platform/host.h"

namespace zor {

class IWindowRotator {
 public:
  // Destroying the wrapper leaves the renderer's object alone; only
  // Release destroys that.
  virtual ~IWindowRotator() = default;
  virtual bool Initialize() = 0;
  virtual void Release() = 0;
  virtual void SetHostWindow(WindowHandle window) = 0;
  virtual void HideOverlay() = 0;
  virtual void PlayTurn(int durationMs, int direction, int reserved1, int reserved2, int reserved3) = 0;
  virtual void CaptureStartPicture(WindowHandle window) = 0;
  virtual void CaptureEndPicture(WindowHandle window) = 0;
  virtual void ShowOverlay() = 0;
};

// Calls the renderer's entry point `entryPoint` and wraps the object it
// returns; null when the entry point returned null.
using RotatorFactory = std::unique_ptr<IWindowRotator> (*)(void* entryPoint);

// The renderer library and the rotator it made; the application keeps both
// for its lifetime and releases the rotator when it is destroyed.
class CRendererHolder {
 public:
  CRendererHolder() = default;
  ~CRendererHolder();
  CRendererHolder(const CRendererHolder&) = delete;
  CRendererHolder& operator=(const CRendererHolder&) = delete;

  // Writes the renderer libraries to the system folder (from `source`),
  // loads "Orbiscene.dll" from there and makes the rotator through
  // `factory`. 1 when the library was loaded and exports the entry point,
  // else 0 (the library is then not kept). Nothing is loaded unless all
  // five libraries in the system folder are ours. A rotator whose Initialize
  // fails is dropped; one that is ready gets `desktopWindow` as its host.
  int LoadRotator(Host::Module source, RotatorFactory factory, WindowHandle desktopWindow);

  IWindowRotator* Rotator() const { return m_p3DRotator.get(); }
  Host::Module RendererModule() const { return m_hRendererModule; }

 private:
  Host::Module m_hRendererModule = 0;  // stays loaded for the life of the process
  std::unique_ptr<IWindowRotator> m_p3DRotator;
};

}  // namespace zor
