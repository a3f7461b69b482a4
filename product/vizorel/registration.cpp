// Machine-wide registration under HKLM\Software\Classes: the class with its
// in-process server and threading model, and the two ProgIDs.
#include <olectl.h>

#include <string>
#include <vector>

#include "common/registry.h"
#include "vizorel/server.h"
#include "vizorel/vizorel.h"

namespace vizorel {

namespace {

const std::wstring kClasses = L"Software\\Classes\\";

std::wstring ClsidText() {
  wchar_t text[40] = {};
  StringFromGUID2(kClsidFrameSource, text, 40);
  return text;
}

std::wstring ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(ThisModule(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

// A ProgID is removed only while it still names our class, so that another
// component that took the name over keeps it.
LONG DeleteProgId(const wchar_t* progId, const std::wstring& clsid) {
  const std::wstring key = kClasses + progId;
  std::optional<std::wstring> owner = luma::ReadRegString(HKEY_LOCAL_MACHINE, key + L"\\CLSID", L"", 0);
  if (owner && CompareStringOrdinal(owner->c_str(), -1, clsid.c_str(), -1, TRUE) != CSTR_EQUAL) {
    return ERROR_SUCCESS;
  }
  return luma::DeleteRegTree(HKEY_LOCAL_MACHINE, key, 0);
}

}  // namespace

HRESULT RegisterServer() {
  const std::wstring path = ModulePath();
  if (path.empty()) return SELFREG_E_CLASS;
  const std::wstring clsid = ClsidText();
  const std::wstring classKey = kClasses + L"CLSID\\" + clsid;
  struct Value {
    std::wstring key;
    const wchar_t* name;
    std::wstring data;
  };
  const Value values[] = {
      {classKey, L"", kClassName},
      {classKey + L"\\InprocServer32", L"", path},
      {classKey + L"\\InprocServer32", L"ThreadingModel", L"Both"},
      {classKey + L"\\ProgID", L"", kProgId},
      {classKey + L"\\VersionIndependentProgID", L"", kVersionIndependentProgId},
      {kClasses + kProgId, L"", kClassName},
      {kClasses + kProgId + L"\\CLSID", L"", clsid},
      {kClasses + kVersionIndependentProgId, L"", kClassName},
      {kClasses + kVersionIndependentProgId + L"\\CLSID", L"", clsid},
      {kClasses + kVersionIndependentProgId + L"\\CurVer", L"", kProgId},
  };
  for (const Value& value : values) {
    if (luma::WriteRegString(HKEY_LOCAL_MACHINE, value.key, value.name, value.data, 0) != ERROR_SUCCESS) {
      // A half-written registration would point clients at a class they
      // cannot fully resolve.
      UnregisterServer();
      return SELFREG_E_CLASS;
    }
  }
  return S_OK;
}

HRESULT UnregisterServer() {
  const std::wstring clsid = ClsidText();
  bool ok = luma::DeleteRegTree(HKEY_LOCAL_MACHINE, kClasses + L"CLSID\\" + clsid, 0) == ERROR_SUCCESS;
  ok = DeleteProgId(kProgId, clsid) == ERROR_SUCCESS && ok;
  ok = DeleteProgId(kVersionIndependentProgId, clsid) == ERROR_SUCCESS && ok;
  return ok ? S_OK : SELFREG_E_CLASS;
}

}  // namespace vizorel
