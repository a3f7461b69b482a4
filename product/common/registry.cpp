#include "common/registry.h"

#include <vector>

namespace luma {

namespace {

class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (handle_) RegCloseKey(handle_);
  }
  LONG Open(HKEY root, const std::wstring& path, REGSAM access) {
    return RegOpenKeyExW(root, path.c_str(), 0, access, &handle_);
  }
  HKEY get() const { return handle_; }

 private:
  HKEY handle_ = nullptr;
};

}  // namespace

std::optional<std::wstring> ReadRegString(HKEY root, const std::wstring& path, const wchar_t* name,
                                          REGSAM view) {
  Key key;
  if (key.Open(root, path, KEY_QUERY_VALUE | view) != ERROR_SUCCESS) return std::nullopt;
  // The value may grow between the size query and the read; try again then.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    rc = RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    std::wstring text(buffer.data(), got / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
  }
  return std::nullopt;
}

std::optional<DWORD> ReadRegDword(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view) {
  Key key;
  if (key.Open(root, path, KEY_QUERY_VALUE | view) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(value)) {
    return std::nullopt;
  }
  return value;
}

bool RegKeyExists(HKEY root, const std::wstring& path, REGSAM view) {
  Key key;
  return key.Open(root, path, KEY_QUERY_VALUE | view) == ERROR_SUCCESS;
}

bool RegKeyIsEmpty(HKEY root, const std::wstring& path, REGSAM view) {
  Key key;
  if (key.Open(root, path, KEY_QUERY_VALUE | view) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0;
  DWORD values = 0;
  if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return subkeys == 0 && values == 0;
}

LONG DeleteRegTree(HKEY root, const std::wstring& path, REGSAM view) {
  {
    Key key;
    LONG rc = key.Open(root, path, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | view);
    if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return rc;
    // Deleting while enumerating shifts the indexes, so collect the names first.
    std::vector<std::wstring> children;
    for (DWORD index = 0;; ++index) {
      wchar_t name[256];  // the longest key name the registry allows is 255
      DWORD length = 256;
      rc = RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc != ERROR_SUCCESS) return rc;
      children.emplace_back(name, length);
    }
    for (const std::wstring& child : children) {
      rc = DeleteRegTree(root, path + L"\\" + child, view);
      if (rc != ERROR_SUCCESS) return rc;
    }
  }
  LONG rc = RegDeleteKeyExW(root, path.c_str(), view, 0);
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

LONG WriteRegString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value,
                    REGSAM view) {
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | view,
                            nullptr, &key, nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return rc;
}

}  // namespace luma
