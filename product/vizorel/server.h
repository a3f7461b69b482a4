// Module-wide state of Vizorel.dll: the module handle and the count of live
// objects and server locks that keeps it loaded.
#pragma once

#include <windows.h>

namespace vizorel {

HMODULE ThisModule();
void ModuleAddRef();
void ModuleRelease();

// HKLM\Software\Classes entries of the component; both roll back or clean up
// completely and return S_OK or SELFREG_E_CLASS.
HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace vizorel
