#include "platform/host.h"

#include <cstdlib>

#include "common/windows_1252.h"

namespace zor {
namespace {
Host* g_current = nullptr;
}

Host& CurrentHost() { return g_current ? *g_current : PlatformHost(); }

Host* SetCurrentHost(Host* host) {
  Host* previous = g_current;
  g_current = host;
  return previous;
}

std::wstring FolderOf(const std::wstring& path) {
  size_t pos = path.find_last_of(L"\\/");
  return pos == std::wstring::npos ? std::wstring() : path.substr(0, pos + 1);
}

std::wstring ModuleFolder() { return FolderOf(CurrentHost().ModulePath()); }

// ---- Defaults of the setup services: a system that does not offer them.

bool Host::CopyFileTo(const std::wstring& from, const std::wstring& to, bool failIfExists, long* error) {
  long e = kErrSuccess;
  auto fail = [&](long code) {
    if (error) *error = code;
    return false;
  };
  // The whole source is read before the target is opened: when both names
  // reach the same file, opening the target first would empty the source.
  std::string bytes;
  {
    auto in = OpenFile(from, FileAccess::kRead, kShareRead, FileCreate::kOpenExisting, &e);
    if (!in) return fail(e);
    char buffer[64 * 1024];
    for (;;) {
      int64_t n = in->Read(buffer, sizeof buffer);
      if (n < 0) return fail(kErrAccessDenied);
      if (n == 0) break;
      bytes.append(buffer, static_cast<size_t>(n));
    }
  }
  auto out = OpenFile(to, FileAccess::kWrite, kShareNone,
                      failIfExists ? FileCreate::kCreateNew : FileCreate::kCreateAlways, &e);
  if (!out) return fail(e);
  if (out->Write(bytes.data(), bytes.size()) != static_cast<int64_t>(bytes.size())) return fail(kErrAccessDenied);
  if (error) *error = kErrSuccess;
  return true;
}

bool Host::CreateDirectoryWithSddl(const std::wstring& path, const std::wstring& /*sddl*/, long* error) {
  bool made = CreateDirectory(path);
  if (error) *error = made ? kErrSuccess : DirectoryExists(path) ? kErrAlreadyExists : kErrPathNotFound;
  return made;
}

std::wstring Host::CurrentFolder() { return std::wstring(); }
std::wstring Host::SystemFolder() { return std::wstring(); }
std::wstring Host::WindowsFolder() { return std::wstring(); }
bool Host::IsWow64() { return false; }
bool Host::Is64BitWindows() { return false; }

bool Host::DisableFsRedirection(uintptr_t* cookie) {
  if (cookie) *cookie = 0;
  return false;
}

bool Host::RevertFsRedirection(uintptr_t /*cookie*/) { return false; }
bool Host::CreateShellLink(const ShellLink& /*link*/) { return false; }

bool Host::StartProgram(const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&, int) {
  return false;
}

long Host::CreateNamedEvent(const std::wstring& /*name*/) { return kErrInvalidFunction; }
long Host::CreateHeldFolder(const std::wstring& /*path*/, const std::wstring& /*sddl*/, FolderHold* hold) {
  if (hold) *hold = 0;
  return kErrInvalidFunction;
}
void Host::ReleaseHeldFolder(FolderHold /*hold*/) {}
bool Host::RemoveFolder(const std::wstring& /*path*/) { return false; }
Host::Module Host::LoadModule(const std::wstring& /*path*/) { return 0; }
Host::Module Host::LoadModuleWithItsImports(const std::wstring& path) { return LoadModule(path); }
void Host::UnloadModule(Module /*module*/) {}
void* Host::ModuleProc(Module /*module*/, const std::string& /*name*/) { return nullptr; }
bool Host::ReadResource(Module, const std::wstring&, uint32_t, std::string*) { return false; }

bool Host::WideToAnsi(std::wstring_view text, size_t maxBytes, std::string* out) {
  if (text.size() + 1 > maxBytes) return false;
  std::string bytes;
  bytes.reserve(text.size());
  for (wchar_t c : text) {
    char b = '?';
    WideToWindows1252(c, &b);
    bytes.push_back(b);
  }
  *out = std::move(bytes);
  return true;
}

void Host::ExitProcess(uint32_t code) { std::exit(static_cast<int>(code)); }

}  // namespace zor
