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
#include "setup/payloads.h"

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
// for its lifetime. At its end the rotator is released, the library freed
// and the folder it was written to removed.
class CRendererHolder {
 public:
  CRendererHolder() = default;
  ~CRendererHolder();
  CRendererHolder(const CRendererHolder&) = delete;
  CRendererHolder& operator=(const CRendererHolder&) = delete;

  // Writes the five renderer libraries (from `source`) to a new folder of
  // this run (CPayloadFolder), loads "Orbiscene.dll" from there by its full
  // path with its imports resolved from the same folder, and makes the
  // rotator through `factory`. 1 when the library was loaded and exports the
  // entry point, else 0 (nothing is then kept and the folder is gone). A
  // rotator whose Initialize fails is dropped; one that is ready gets
  // `desktopWindow` as its host.
  int LoadRotator(Host::Module source, RotatorFactory factory, WindowHandle desktopWindow);

  // What the destructor does, for a process that is about to end without
  // destructors: the rotator released, the library freed, its folder
  // removed. Nothing is held afterwards; a second call does nothing.
  void Unload();

  IWindowRotator* Rotator() const { return m_p3DRotator.get(); }
  Host::Module RendererModule() const { return m_hRendererModule; }
  // Where the libraries are; empty when none are.
  const std::wstring& RendererFolder() const { return m_folder.Path(); }

 private:
  // Declared first so that it goes last: the folder outlives the library.
  CPayloadFolder m_folder{kRendererFolderPrefix};
  Host::Module m_hRendererModule = 0;
  std::unique_ptr<IWindowRotator> m_p3DRotator;
};

}  // namespace zor
