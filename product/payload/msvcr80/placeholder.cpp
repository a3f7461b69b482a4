// Stands in for the C runtime library that the real product ships under the
// name msvcr80.dll. It offers none of that library's functions: it only says
// what it is, so that anyone who finds it in a Windows folder can tell.
#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}

const wchar_t* WINAPI TarvexRuntimePlaceholder() {
  return L"Placeholder msvcr80.dll of the Tarvex Lumaglimpse demo package; not a C runtime library.";
}

}  // extern "C"
