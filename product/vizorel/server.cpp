// Entry points of the in-process server and its class factory.
#include <new>

#include "vizorel/frame_source.h"
#include "vizorel/server.h"

namespace vizorel {

namespace {

HMODULE g_module = nullptr;
// Live objects plus server locks plus references to the class factory.
LONG g_moduleRefs = 0;

class FrameSourceFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // The factory lives as long as the module; its references only keep the
  // module loaded while a client holds it.
  ULONG STDMETHODCALLTYPE AddRef() override {
    ModuleAddRef();
    return 2;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    ModuleRelease();
    return 1;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    FrameSource* source = new (std::nothrow) FrameSource();
    if (source == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = source->QueryInterface(iid, object);
    source->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      ModuleAddRef();
    } else {
      ModuleRelease();
    }
    return S_OK;
  }
};

FrameSourceFactory g_factory;

}  // namespace

HMODULE ThisModule() { return g_module; }
void ModuleAddRef() { InterlockedIncrement(&g_moduleRefs); }
void ModuleRelease() { InterlockedDecrement(&g_moduleRefs); }

}  // namespace vizorel

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    vizorel::g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, vizorel::kClsidFrameSource)) return CLASS_E_CLASSNOTAVAILABLE;
  return vizorel::g_factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow() { return InterlockedCompareExchange(&vizorel::g_moduleRefs, 0, 0) == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return vizorel::RegisterServer(); }

STDAPI DllUnregisterServer() { return vizorel::UnregisterServer(); }

}  // extern "C"
