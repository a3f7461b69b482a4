#include "setup/window_rotator.h"

namespace zor {

CRendererHolder::~CRendererHolder() { Unload(); }

void CRendererHolder::Unload() {
  if (m_p3DRotator) m_p3DRotator->Release();
  m_p3DRotator.reset();
  // Released, the rotator has taken down its window and its window class,
  // so nothing of the library runs after this; its supporting libraries go
  // with it. The files can only be deleted once no image of them is mapped.
  if (m_hRendererModule) CurrentHost().UnloadModule(m_hRendererModule);
  m_hRendererModule = 0;
  m_folder.Remove();
}

int CRendererHolder::LoadRotator(Host::Module source, RotatorFactory factory, WindowHandle desktopWindow) {
  Host& host = CurrentHost();
  // A folder of our own rather than the system folder: nothing of ours
  // shadows another product's library of the same name (Direct3D's
  // "d3dx9_35.dll", for one), and another product's file never keeps the
  // renderer from working.
  if (!m_folder.Create()) return 0;
  // A library missing or cut short would fail the load, or worse, bind the
  // renderer to a library of that name found elsewhere.
  if (!m_folder.WriteAll(source, kRendererLibraryType, kRendererLibraries)) {
    m_folder.Remove();
    return 0;
  }
  // By its full path, its imports looked for beside it first: the renderer
  // binds to the four libraries just written, never to one of those names
  // in the program's, the current or the system folder.
  m_hRendererModule = host.LoadModuleWithItsImports(m_folder.PathOf(kRendererLibrary));
  void* entry = m_hRendererModule ? host.ModuleProc(m_hRendererModule, kRendererEntryPoint) : nullptr;
  if (!entry) {
    if (m_hRendererModule) host.UnloadModule(m_hRendererModule);
    m_hRendererModule = 0;
    m_folder.Remove();
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
