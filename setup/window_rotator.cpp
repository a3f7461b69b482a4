#include "setup/window_rotator.h"

#include "setup/payloads.h"

namespace zor {

CRendererHolder::~CRendererHolder() {
  if (m_p3DRotator) m_p3DRotator->Release();
}

int CRendererHolder::LoadRotator(Host::Module source, RotatorFactory factory, WindowHandle desktopWindow) {
  ExtractRendererLibraries(source);
  Host& host = CurrentHost();
  std::wstring system = host.SystemFolder();
  // Loaded by its full path, so the library comes from where it was just
  // written and never from the current or the program's folder.
  if (system.empty()) return 0;
  // The renderer imports its supporting libraries by their names from the
  // system folder. Where a name belongs to another product (Direct3D's own
  // "d3dx9_35.dll", for one), the renderer would bind to that library and
  // fail or crash on first use; the wizard then simply turns without
  // animation.
  if (!RendererLibrariesInPlace(source)) return 0;
  m_hRendererModule = host.LoadModule(system + L"\\" + kRendererLibrary);
  if (!m_hRendererModule) return 0;
  void* entry = host.ModuleProc(m_hRendererModule, kRendererEntryPoint);
  if (!entry) {
    host.UnloadModule(m_hRendererModule);
    m_hRendererModule = 0;
    return 0;
  }
  m_p3DRotator = factory ? factory(entry) : nullptr;
  if (!m_p3DRotator) return 1;
  if (m_p3DRotator->Initialize()) {
    m_p3DRotator->SetHostWindow(desktopWindow);
  } else {
    // A rotator that is not ready is useless; the renderer allows dropping
    // it without Release.
    m_p3DRotator.reset();
  }
  return 1;
}

}  // namespace zor
