// The Windows host. Each operation is one Win32 call (or the short sequence
// the seam documents), with the system's own error numbers passed through.
#include "platform/win32/windows_api.h"
#include <shlobj.h>

#include <climits>

#include "platform/win32/win32_host.h"

namespace zor {
namespace {

// ReadFile and WriteFile take 32-bit sizes; larger requests go in pieces.
constexpr DWORD kMaxChunk = 0x40000000;

class Win32File : public File {
 public:
  explicit Win32File(HANDLE h) : h_(h) {}
  ~Win32File() override { ::CloseHandle(h_); }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  int64_t Read(void* buffer, size_t size) override {
    DWORD want = size > kMaxChunk ? kMaxChunk : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!::ReadFile(h_, buffer, want, &got, nullptr)) return Failed();
    return got;
  }

  int64_t Write(const void* buffer, size_t size) override {
    const char* p = static_cast<const char*>(buffer);
    size_t left = size;
    while (left > 0) {
      DWORD want = left > kMaxChunk ? kMaxChunk : static_cast<DWORD>(left);
      DWORD done = 0;
      if (!::WriteFile(h_, p, want, &done, nullptr)) return Failed();
      if (done == 0) return -1;
      p += done;
      left -= done;
    }
    return static_cast<int64_t>(size);
  }

  int64_t Seek(int64_t offset, SeekFrom from) override {
    DWORD method = from == SeekFrom::kBegin ? FILE_BEGIN : from == SeekFrom::kCurrent ? FILE_CURRENT : FILE_END;
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    // The system refuses a negative result itself (ERROR_NEGATIVE_SEEK).
    if (!::SetFilePointerEx(h_, distance, &position, method)) return -1;
    return position.QuadPart;
  }

  int64_t Size() override {
    LARGE_INTEGER size;
    return ::GetFileSizeEx(h_, &size) ? size.QuadPart : -1;
  }

  bool Flush() override { return ::FlushFileBuffers(h_) != 0; }
  long LastError() const override { return error_; }

 private:
  // Taken at once: later calls, CloseHandle among them, may reset it.
  int64_t Failed() {
    error_ = static_cast<long>(::GetLastError());
    return -1;
  }
  HANDLE h_;
  long error_ = kErrSuccess;
};

DWORD CreationDisposition(FileCreate create) {
  switch (create) {
    case FileCreate::kOpenExisting: return OPEN_EXISTING;
    case FileCreate::kCreateAlways: return CREATE_ALWAYS;
    case FileCreate::kOpenAlways: return OPEN_ALWAYS;
    case FileCreate::kCreateNew: return CREATE_NEW;
  }
  return OPEN_EXISTING;
}

DWORD DesiredAccess(FileAccess access) {
  switch (access) {
    case FileAccess::kRead: return GENERIC_READ;
    case FileAccess::kWrite: return GENERIC_WRITE;
    case FileAccess::kReadWrite: return GENERIC_READ | GENERIC_WRITE;
  }
  return GENERIC_READ;
}

// The seam keeps root keys as their 32-bit handle values. The system defines
// them as (HKEY)(ULONG_PTR)(LONG)0x8000000x, so on 64-bit Windows they are
// sign-extended (HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002); zero-extending
// would hand the system a handle it has never heard of.
HKEY RootKey(uint32_t root) { return reinterpret_cast<HKEY>(RootKeyHandle(root)); }

HKEY ToHkey(Host::RegKey key) { return reinterpret_cast<HKEY>(key); }

DWORD Attributes(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

// Calls `fill(buffer, size)` (which returns the characters written, or a
// value >= size when the buffer was too small) with growing buffers.
template <class Fill>
std::wstring GrowingBuffer(Fill fill) {
  std::wstring buf(MAX_PATH + 1, L'\0');
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD n = fill(&buf[0], static_cast<DWORD>(buf.size()));
    if (n == 0) return std::wstring();
    if (n < buf.size()) {
      buf.resize(n);
      return buf;
    }
    buf.assign(static_cast<size_t>(n) > buf.size() * 2 ? static_cast<size_t>(n) + 1 : buf.size() * 2, L'\0');
  }
  return std::wstring();
}

}  // namespace

uintptr_t RootKeyHandle(uint32_t root) {
  return static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(root)));
}

std::unique_ptr<File> Win32Host::OpenFile(const std::wstring& path, FileAccess access, uint32_t share,
                                          FileCreate create, long* error) {
  // The system would stop at the NUL and reach another file.
  if (path.find(L'\0') != std::wstring::npos) {
    if (error) *error = kErrInvalidName;
    return nullptr;
  }
  // kShareRead/Write/Delete carry the FILE_SHARE_* bit values.
  DWORD shareMode = share & (FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  HANDLE h = ::CreateFileW(path.c_str(), DesiredAccess(access), shareMode, nullptr, CreationDisposition(create),
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (error) *error = static_cast<long>(::GetLastError());
    return nullptr;
  }
  // CREATE_ALWAYS and OPEN_ALWAYS leave ERROR_ALREADY_EXISTS behind on
  // success; the seam reports success as success.
  if (error) *error = kErrSuccess;
  return std::make_unique<Win32File>(h);
}

bool Win32Host::CanOpenDevice(const std::wstring& path) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  return true;
}

bool Win32Host::CreateDirectory(const std::wstring& path, long* error) {
  bool made = ::CreateDirectoryW(path.c_str(), nullptr) != 0;
  if (error) *error = made ? kErrSuccess : static_cast<long>(::GetLastError());
  return made;
}

bool Win32Host::DeleteFile(const std::wstring& path) { return ::DeleteFileW(path.c_str()) != 0; }

bool Win32Host::MoveFile(const std::wstring& from, const std::wstring& to) {
  return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool Win32Host::FileExists(const std::wstring& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Host::DirectoryExists(const std::wstring& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Host::ListDirectory(const std::wstring& path, std::vector<DirEntry>* out) {
  out->clear();
  if (path.empty()) return false;
  std::wstring pattern = path;
  if (pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  HANDLE find = ::FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    // An empty drive root has not even "." to report.
    DWORD error = ::GetLastError();
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  do {
    std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    DirEntry entry;
    entry.name = name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      entry.isDirectory = true;
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) {
      continue;
    } else {
      entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    out->push_back(std::move(entry));
  } while (::FindNextFileW(find, &data));
  DWORD error = ::GetLastError();
  ::FindClose(find);
  if (error != ERROR_NO_MORE_FILES) {
    out->clear();
    return false;
  }
  return true;
}

std::wstring Win32Host::ModulePath() {
  // GetModuleFileNameW returns the buffer size (truncated) when it is too
  // small, which GrowingBuffer takes as "grow".
  return GrowingBuffer([](wchar_t* buf, DWORD size) { return ::GetModuleFileNameW(nullptr, buf, size); });
}

std::wstring Win32Host::TempFolder() {
  // GetTempPathW returns the size needed, including the zero, when the buffer
  // is too small; the result already ends in a backslash.
  return GrowingBuffer([](wchar_t* buf, DWORD size) { return ::GetTempPathW(size, buf); });
}

std::wstring Win32Host::CurrentFolder() {
  // Like GetTempPathW: the size needed, zero included, when it does not fit.
  return GrowingBuffer([](wchar_t* buf, DWORD size) { return ::GetCurrentDirectoryW(size, buf); });
}

size_t Win32Host::ReadProfileSection(const std::wstring& file, const std::wstring& section, wchar_t* buffer,
                                     size_t capacity) {
  if (!buffer || capacity == 0) return 0;
  // Wine writes before the buffer and returns (DWORD)-1 for one character;
  // one character can only ever hold the empty list anyway.
  if (capacity == 1) {
    buffer[0] = 0;
    return 0;
  }
  DWORD size = capacity > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(capacity);
  return ::GetPrivateProfileSectionW(section.c_str(), buffer, size, file.c_str());
}

// The 64-bit build reads and writes the registry as the 32-bit program does,
// through the 32-bit view, so both builds find the same keys. MAXIMUM_ALLOWED
// is the access RegOpenKeyW and RegCreateKeyW ask for.
long Win32Host::RegOpenKey(uint32_t root, const std::wstring& path, RegKey* key) {
  HKEY h = nullptr;
#ifdef _WIN64
  LONG r = ::RegOpenKeyExW(RootKey(root), path.c_str(), 0, MAXIMUM_ALLOWED | KEY_WOW64_32KEY, &h);
#else
  LONG r = ::RegOpenKeyW(RootKey(root), path.c_str(), &h);
#endif
  *key = r == ERROR_SUCCESS ? reinterpret_cast<RegKey>(h) : 0;
  return r;
}

long Win32Host::RegCreateKey(uint32_t root, const std::wstring& path, RegKey* key) {
  HKEY h = nullptr;
#ifdef _WIN64
  LONG r = ::RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             MAXIMUM_ALLOWED | KEY_WOW64_32KEY, nullptr, &h, nullptr);
#else
  LONG r = ::RegCreateKeyW(RootKey(root), path.c_str(), &h);
#endif
  *key = r == ERROR_SUCCESS ? reinterpret_cast<RegKey>(h) : 0;
  return r;
}

long Win32Host::RegSetValue(RegKey key, const std::wstring& name, uint32_t type, const uint8_t* data,
                            uint32_t size) {
  return ::RegSetValueExW(ToHkey(key), name.c_str(), 0, type, data, size);
}

long Win32Host::RegQueryValue(RegKey key, const std::wstring& name, uint32_t* type, std::vector<uint8_t>* data) {
  DWORD t = 0;
  if (!data) {
    LONG r = ::RegQueryValueExW(ToHkey(key), name.c_str(), nullptr, &t, nullptr, nullptr);
    if (r == ERROR_SUCCESS && type) *type = t;
    return r;
  }
  // The value may grow between the size query and the read; ask again then.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    LONG r = ::RegQueryValueExW(ToHkey(key), name.c_str(), nullptr, &t, nullptr, &size);
    if (r != ERROR_SUCCESS) return r;
    data->assign(size, 0);
    r = ::RegQueryValueExW(ToHkey(key), name.c_str(), nullptr, &t, data->empty() ? nullptr : data->data(), &size);
    if (r == ERROR_MORE_DATA) continue;
    if (r != ERROR_SUCCESS) {
      data->clear();
      return r;
    }
    data->resize(size);
    if (type) *type = t;
    return ERROR_SUCCESS;
  }
  data->clear();
  return ERROR_MORE_DATA;
}

long Win32Host::RegDeleteValue(RegKey key, const std::wstring& name) {
  return ::RegDeleteValueW(ToHkey(key), name.c_str());
}

long Win32Host::RegCloseKey(RegKey key) { return ::RegCloseKey(ToHkey(key)); }

bool Win32Host::GetVersionInfo(bool extended, OsVersion* out) {
  *out = OsVersion{};
  if (extended) {
    OSVERSIONINFOEXW vi = {};
    vi.dwOSVersionInfoSize = sizeof(vi);
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&vi))) return false;
    out->major = vi.dwMajorVersion;
    out->minor = vi.dwMinorVersion;
    out->build = vi.dwBuildNumber;
    out->platformId = vi.dwPlatformId;
    out->servicePackMajor = vi.wServicePackMajor;
    out->servicePackMinor = vi.wServicePackMinor;
    out->productType = vi.wProductType;
    return true;
  }
  OSVERSIONINFOW vi = {};
  vi.dwOSVersionInfoSize = sizeof(vi);
  if (!::GetVersionExW(&vi)) return false;
  out->major = vi.dwMajorVersion;
  out->minor = vi.dwMinorVersion;
  out->build = vi.dwBuildNumber;
  out->platformId = vi.dwPlatformId;
  return true;
}

uint16_t Win32Host::SystemDefaultLangId() { return ::GetSystemDefaultLangID(); }

std::wstring Win32Host::SpecialFolderPath(int csidl) {
  wchar_t buf[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, buf, csidl, FALSE)) return std::wstring();
  buf[MAX_PATH - 1] = 0;
  return buf;
}

std::wstring Win32Host::AnsiToWide(std::string_view text) {
  if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return std::wstring();
  int len = static_cast<int>(text.size());
  int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), len, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), len, &out[0], n);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

int Win32Host::MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t flags) {
  return ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), flags);
}

void Win32Host::DebugOutput(const std::wstring& text) { ::OutputDebugStringW(text.c_str()); }

Host& PlatformHost() {
  static Win32Host host;
  return host;
}

}  // namespace zor
