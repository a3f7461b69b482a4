// The Windows host: the services only the setup program uses. Entry points
// that Windows 2000 and early XP lack (IsWow64Process and the WOW64
// redirection calls) are looked up at run time, so the program still starts
// there.
#include "platform/win32/windows_api.h"
#include <objbase.h>
#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winternl.h>

#include <climits>

#include "platform/win32/win32_host.h"

namespace zor {
namespace {

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
using Wow64DisableFn = BOOL(WINAPI*)(PVOID*);
using Wow64RevertFn = BOOL(WINAPI*)(PVOID);

// Kernel32 is mapped into every process and never unloaded, so the entry
// points stay valid for the life of the process.
template <class Fn>
Fn Kernel32Entry(const char* name) {
  HMODULE kernel = ::GetModuleHandleW(L"Kernel32.dll");
  if (!kernel) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(kernel, name)));
}

// Calls `fill(buffer, size)`, which returns the characters written, or the
// size needed (zero included) when the buffer is too small, as
// GetSystemDirectoryW and GetWindowsDirectoryW do.
template <class Fill>
std::wstring FolderFrom(Fill fill) {
  std::wstring buf(MAX_PATH, L'\0');
  UINT n = fill(&buf[0], static_cast<UINT>(buf.size()));
  if (n >= buf.size()) {
    buf.assign(n, L'\0');
    n = fill(&buf[0], static_cast<UINT>(buf.size()));
    if (n >= buf.size()) return std::wstring();
  }
  buf.resize(n);
  return buf;
}

HMODULE ModuleHandle(Host::Module module) {
  return module ? reinterpret_cast<HMODULE>(module) : ::GetModuleHandleW(nullptr);
}

}  // namespace

bool Win32Host::CopyFileTo(const std::wstring& from, const std::wstring& to, bool failIfExists, long* error) {
  BOOL ok = ::CopyFileW(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE);
  if (error) *error = ok ? kErrSuccess : static_cast<long>(::GetLastError());
  return ok != 0;
}

bool Win32Host::CreateDirectoryWithSddl(const std::wstring& path, const std::wstring& sddl, long* error) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  // Should the text be refused, the folder is still made, with the access
  // list it inherits: the file that goes into it matters more than who may
  // change it.
  ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr);
  SECURITY_ATTRIBUTES attributes = {};
  attributes.nLength = sizeof(attributes);
  attributes.lpSecurityDescriptor = descriptor;
  attributes.bInheritHandle = FALSE;
  BOOL ok = ::CreateDirectoryW(path.c_str(), &attributes);
  DWORD e = ok ? ERROR_SUCCESS : ::GetLastError();
  if (descriptor) ::LocalFree(descriptor);
  if (error) *error = static_cast<long>(e);
  return ok != 0;
}

std::wstring Win32Host::SystemFolder() {
  return FolderFrom([](wchar_t* buf, UINT size) { return ::GetSystemDirectoryW(buf, size); });
}

std::wstring Win32Host::WindowsFolder() {
  return FolderFrom([](wchar_t* buf, UINT size) { return ::GetWindowsDirectoryW(buf, size); });
}

bool Win32Host::IsWow64() {
#ifdef _WIN64
  return false;
#else
  static const IsWow64ProcessFn isWow64 = Kernel32Entry<IsWow64ProcessFn>("IsWow64Process");
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

bool Win32Host::Is64BitWindows() {
#ifdef _WIN64
  return true;
#else
  return IsWow64();
#endif
}

// A 64-bit process is never redirected: there is nothing to switch off.
bool Win32Host::DisableFsRedirection(uintptr_t* cookie) {
  if (cookie) *cookie = 0;
#ifdef _WIN64
  return false;
#else
  static const Wow64DisableFn disable = Kernel32Entry<Wow64DisableFn>("Wow64DisableWow64FsRedirection");
  PVOID previous = nullptr;
  if (!disable || !disable(&previous)) return false;
  if (cookie) *cookie = reinterpret_cast<uintptr_t>(previous);
  return true;
#endif
}

bool Win32Host::RevertFsRedirection(uintptr_t cookie) {
#ifdef _WIN64
  (void)cookie;
  return false;
#else
  static const Wow64RevertFn revert = Kernel32Entry<Wow64RevertFn>("Wow64RevertWow64FsRedirection");
  return revert && revert(reinterpret_cast<PVOID>(cookie));
#endif
}

bool Win32Host::CreateShellLink(const ShellLink& link) {
  HRESULT init = ::CoInitialize(nullptr);
  bool saved = false;
  IShellLinkW* shellLink = nullptr;
  if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shellLink)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      // Each step only after the ones before it succeeded; fields not given
      // are left as the new object has them.
      HRESULT hr = shellLink->SetPath(link.target.c_str());
      if (SUCCEEDED(hr) && link.arguments) hr = shellLink->SetArguments(link.arguments->c_str());
      if (SUCCEEDED(hr) && link.workingFolder) hr = shellLink->SetWorkingDirectory(link.workingFolder->c_str());
      if (SUCCEEDED(hr) && link.description) hr = shellLink->SetDescription(link.description->c_str());
      if (SUCCEEDED(hr)) hr = file->Save(link.linkPath.c_str(), FALSE);
      saved = SUCCEEDED(hr);
      file->Release();
    }
    shellLink->Release();
  }
  // Only a successful CoInitialize (S_OK or S_FALSE) is balanced; a thread
  // already in another apartment keeps its own.
  if (SUCCEEDED(init)) ::CoUninitialize();
  return saved;
}

bool Win32Host::StartProgram(const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
                             const std::wstring& folder, int show) {
  HINSTANCE result = ::ShellExecuteW(nullptr, verb.c_str(), file.c_str(), parameters.c_str(),
                                     folder.empty() ? nullptr : folder.c_str(), show);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

long Win32Host::CreateNamedEvent(const std::wstring& name) {
  HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, name.c_str());
  if (!event) {
    DWORD e = ::GetLastError();
    return e == ERROR_SUCCESS ? kErrInvalidFunction : static_cast<long>(e);
  }
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(event);
    return kErrAlreadyExists;
  }
  // Deliberately kept open: the event marks this process until it ends.
  return kErrSuccess;
}

long Win32Host::CreateHeldFolder(const std::wstring& path, const std::wstring& sddl, FolderHold* hold) {
  *hold = 0;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  // Unlike CreateDirectoryWithSddl, a refused text makes nothing: a held
  // folder exists for the protection its access list gives.
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
    return static_cast<long>(::GetLastError());
  UNICODE_STRING ntPath = {};
  if (!::RtlDosPathNameToNtPathName_U(path.c_str(), &ntPath, nullptr, nullptr)) {
    ::LocalFree(descriptor);
    return kErrPathNotFound;
  }
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &ntPath, OBJ_CASE_INSENSITIVE, nullptr, descriptor);
  IO_STATUS_BLOCK io = {};
  HANDLE handle = nullptr;
  // What CreateDirectoryW asks for, except that the handle is kept and
  // others may not open the folder for deletion (which renaming needs) while
  // it is: creating and holding are one step, so no other folder can take
  // this one's place between the two.
  NTSTATUS status = ::NtCreateFile(&handle, FILE_LIST_DIRECTORY | SYNCHRONIZE, &attributes, &io, nullptr,
                                   FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_CREATE,
                                   FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT,
                                   nullptr, 0);
  ::RtlFreeUnicodeString(&ntPath);
  ::LocalFree(descriptor);
  if (status < 0) return static_cast<long>(::RtlNtStatusToDosError(status));
  *hold = reinterpret_cast<FolderHold>(handle);
  return kErrSuccess;
}

void Win32Host::ReleaseHeldFolder(FolderHold hold) {
  if (hold) ::CloseHandle(reinterpret_cast<HANDLE>(hold));
}

bool Win32Host::RemoveFolder(const std::wstring& path) { return ::RemoveDirectoryW(path.c_str()) != 0; }

Host::Module Win32Host::LoadModule(const std::wstring& path) {
  return reinterpret_cast<Module>(::LoadLibraryW(path.c_str()));
}

Host::Module Win32Host::LoadModuleWithItsImports(const std::wstring& path) {
  return reinterpret_cast<Module>(::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

void Win32Host::UnloadModule(Module module) {
  if (module) ::FreeLibrary(reinterpret_cast<HMODULE>(module));
}

void* Win32Host::ModuleProc(Module module, const std::string& name) {
  return reinterpret_cast<void*>(::GetProcAddress(ModuleHandle(module), name.c_str()));
}

bool Win32Host::ReadResource(Module module, const std::wstring& type, uint32_t id, std::string* bytes) {
  if (type.empty() || id > 0xFFFF) return false;
  HMODULE h = ModuleHandle(module);
  HRSRC resource = ::FindResourceW(h, MAKEINTRESOURCEW(id), type.c_str());
  if (!resource) return false;
  HGLOBAL loaded = ::LoadResource(h, resource);
  if (!loaded) return false;
  const void* data = ::LockResource(loaded);
  DWORD size = ::SizeofResource(h, resource);
  if (!data && size != 0) return false;
  bytes->assign(static_cast<const char*>(data), size);
  return true;
}

bool Win32Host::WideToAnsi(std::wstring_view text, size_t maxBytes, std::string* out) {
  if (maxBytes == 0 || text.size() > static_cast<size_t>(INT_MAX)) return false;
  if (text.empty()) {
    out->clear();
    return true;
  }
  // One byte of the buffer is the terminating zero's.
  int room = maxBytes - 1 > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(maxBytes - 1);
  if (room == 0) return false;
  std::string buffer(static_cast<size_t>(room), '\0');
  int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &buffer[0], room, nullptr,
                                nullptr);
  if (n <= 0) return false;
  buffer.resize(static_cast<size_t>(n));
  *out = std::move(buffer);
  return true;
}

void Win32Host::ExitProcess(uint32_t code) { ::ExitProcess(code); }

}  // namespace zor
