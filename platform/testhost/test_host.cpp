#include "platform/testhost/test_host.h"

#include <cstring>

#include "common/windows_1252.h"
#include "common/wstr.h"
#include "platform/profile_section.h"

namespace zor {

// An open in-memory file. It keeps its own position; the bytes live in the
// host so that what one handle writes, the next one reads.
class TestHost::MemFile : public File {
 public:
  MemFile(TestHost* host, std::wstring key, bool write) : host_(host), key_(std::move(key)), write_(write) {}
  ~MemFile() override {
    auto it = host_->files_.find(key_);
    if (it == host_->files_.end()) return;
    FileData& f = it->second;
    if (--f.openCount == 0) {
      f.share = kShareRead | kShareWrite | kShareDelete;
      f.openForWrite = false;
    }
  }
  int64_t Read(void* buffer, size_t size) override {
    std::string* b = Bytes();
    if (!b) return -1;
    if (pos_ >= b->size()) return 0;
    size_t n = std::min(size, b->size() - static_cast<size_t>(pos_));
    if (!WithinFault(host_->readFaults, &n)) return -1;
    std::memcpy(buffer, b->data() + pos_, n);
    pos_ += n;
    return static_cast<int64_t>(n);
  }
  int64_t Write(const void* buffer, size_t size) override {
    std::string* b = Bytes();
    if (!b || !write_) return -1;
    if (!WithinFault(host_->writeFaults, &size)) return -1;
    if (b->size() < pos_ + size) b->resize(pos_ + size);
    std::memcpy(&(*b)[pos_], buffer, size);
    pos_ += size;
    return static_cast<int64_t>(size);
  }
  int64_t Seek(int64_t offset, SeekFrom from) override {
    std::string* b = Bytes();
    if (!b) return -1;
    int64_t base = from == SeekFrom::kBegin ? 0 : from == SeekFrom::kCurrent ? static_cast<int64_t>(pos_)
                                                                              : static_cast<int64_t>(b->size());
    if (base + offset < 0) return -1;
    pos_ = static_cast<size_t>(base + offset);
    return static_cast<int64_t>(pos_);
  }
  int64_t Size() override {
    std::string* b = Bytes();
    return b ? static_cast<int64_t>(b->size()) : -1;
  }
  bool Flush() override { return true; }
  long LastError() const override { return error_; }

 private:
  // Shortens a transfer of `*n` bytes at the position to end where a fault
  // set for this file begins; false (with the device error) once the
  // position has reached it.
  bool WithinFault(const std::map<std::wstring, size_t>& faults, size_t* n) {
    for (const auto& [path, limit] : faults) {
      if (Normalize(path) != key_) continue;
      if (pos_ >= limit) {
        error_ = kErrIoDevice;
        return false;
      }
      *n = std::min(*n, limit - pos_);
    }
    return true;
  }

  std::string* Bytes() {
    auto it = host_->files_.find(key_);
    return it == host_->files_.end() ? nullptr : &it->second.bytes;
  }
  TestHost* host_;
  std::wstring key_;
  bool write_;
  size_t pos_ = 0;
  long error_ = kErrSuccess;
};

TestHost::TestHost() {
  OsVersion xp;
  xp.major = 5;
  xp.minor = 1;
  xp.build = 2600;
  versionEx = xp;
  versionBasic = xp;
}

TestHost::~TestHost() = default;

std::wstring TestHost::Normalize(const std::wstring& path) {
  std::wstring out = AsciiLower(path);
  for (wchar_t& c : out)
    if (c == L'/') c = L'\\';
  while (out.size() > 3 && out.back() == L'\\') out.pop_back();
  return out;
}

namespace {
bool InSet(const std::set<std::wstring>& set, const std::wstring& normalized) {
  for (const std::wstring& s : set)
    if (TestHost::Normalize(s) == normalized) return true;
  return false;
}
}  // namespace

void TestHost::AddFile(const std::wstring& path, const std::string& bytes) {
  FileData& f = files_[Normalize(path)];
  if (f.spelling.empty()) f.spelling = path;
  f.bytes = bytes;
}

std::optional<std::string> TestHost::FileBytes(const std::wstring& path) const {
  auto it = files_.find(Normalize(path));
  if (it == files_.end()) return std::nullopt;
  return it->second.bytes;
}

bool TestHost::HasFile(const std::wstring& path) const { return files_.count(Normalize(path)) != 0; }

void TestHost::AddDirectory(const std::wstring& path) { dirs_.emplace(Normalize(path), path); }

bool TestHost::HasDirectory(const std::wstring& path) const { return dirs_.count(Normalize(path)) != 0; }

std::vector<std::wstring> TestHost::FilePaths() const {
  std::vector<std::wstring> out;
  for (const auto& kv : files_) out.push_back(kv.second.spelling);
  return out;
}

std::unique_ptr<File> TestHost::OpenFile(const std::wstring& requested, FileAccess access, uint32_t share,
                                         FileCreate create, long* error) {
  const std::wstring path = Physical(requested);
  auto fail = [&](long e) {
    if (error) *error = e;
    return std::unique_ptr<File>();
  };
  if (path.empty()) return fail(kErrPathNotFound);
  // Characters no file name may hold (a quoted path stays quoted here).
  for (wchar_t c : path)
    if (c < 32 || std::wstring_view(L"\"<>|*?").find(c) != std::wstring_view::npos) return fail(kErrInvalidName);
  std::wstring key = Normalize(path);
  bool write = access != FileAccess::kRead;
  if (InSet(lockedFiles, key)) return fail(kErrSharingViolation);
  if (dirs_.count(key)) return fail(kErrAccessDenied);
  auto it = files_.find(key);
  bool exists = it != files_.end();
  if (!exists) {
    if (create == FileCreate::kOpenExisting) return fail(kErrFileNotFound);
    std::wstring folder = FolderOf(path);
    // A file can only be made inside an existing folder; drive roots always
    // exist.
    if (!folder.empty() && Normalize(folder).size() > 3 && !dirs_.count(Normalize(folder)))
      return fail(kErrPathNotFound);
  } else {
    if (create == FileCreate::kCreateNew) return fail(kErrAlreadyExists);
    if (write && InSet(readOnlyFiles, key)) return fail(kErrAccessDenied);
    FileData& f = it->second;
    if (f.openCount > 0) {
      // Both sides must grant what the other asks for.
      bool wantWriteOk = !write || (f.share & kShareWrite);
      bool othersOk = !f.openForWrite || (share & kShareWrite);
      bool readOk = (f.share & kShareRead) && (share & kShareRead);
      if (!wantWriteOk || !othersOk || !readOk) return fail(kErrSharingViolation);
    }
  }
  FileData& f = files_[key];
  if (f.spelling.empty()) f.spelling = path;
  if (create == FileCreate::kCreateAlways) f.bytes.clear();
  f.share = f.openCount > 0 ? (f.share & share) : share;
  f.openForWrite = f.openForWrite || write;
  ++f.openCount;
  if (error) *error = kErrSuccess;
  return std::make_unique<MemFile>(this, key, write);
}

bool TestHost::CanOpenDevice(const std::wstring& path) { return InSet(devices, Normalize(path)); }

namespace {
// "X:" or "X:\" (either separator).
bool IsDriveOnly(const std::wstring& key) {
  return (key.size() == 2 || (key.size() == 3 && key[2] == L'\\')) && key[1] == L':';
}
}  // namespace

bool TestHost::CreateDirectory(const std::wstring& requested, long* error) {
  directoryRequests.push_back(requested);
  auto fail = [error](long e) {
    if (error) *error = e;
    return false;
  };
  const std::wstring path = Physical(requested);
  std::wstring key = Normalize(path);
  for (const auto& injected : createDirectoryErrors)
    if (Normalize(injected.first) == key) return fail(injected.second);
  if (key.empty()) return fail(kErrPathNotFound);
  if (key.size() >= 2 && key[1] == L':' && missingDrives.find(key[0]) != std::wstring::npos)
    return fail(kErrPathNotFound);
  // Drive roots always exist; the system refuses to make the root itself.
  if (IsDriveOnly(key)) return fail(key.size() == 2 ? kErrAlreadyExists : kErrAccessDenied);
  if (dirs_.count(key) || files_.count(key)) return fail(kErrAlreadyExists);
  std::wstring parent = FolderOf(key);
  if (parent.size() > 3 && !dirs_.count(Normalize(parent))) return fail(kErrPathNotFound);
  dirs_.emplace(key, path);
  if (error) *error = kErrSuccess;
  return true;
}

bool TestHost::DeleteFile(const std::wstring& path) {
  auto it = files_.find(Normalize(Physical(path)));
  if (it == files_.end() || it->second.openCount > 0 || InSet(readOnlyFiles, it->first)) return false;
  // As on Windows, the image of a loaded module cannot be deleted.
  for (const auto& m : modules_)
    if (m.second == it->first) return false;
  files_.erase(it);
  return true;
}

bool TestHost::MoveFile(const std::wstring& fromRequested, const std::wstring& toRequested) {
  const std::wstring from = Physical(fromRequested), to = Physical(toRequested);
  auto it = files_.find(Normalize(from));
  if (it == files_.end() || it->second.openCount > 0) return false;
  std::wstring dst = Normalize(to);
  auto target = files_.find(dst);
  if (target != files_.end() && (target->second.openCount > 0 || InSet(readOnlyFiles, dst))) return false;
  FileData moved = std::move(it->second);
  files_.erase(it);
  moved.spelling = to;
  files_[dst] = std::move(moved);
  return true;
}

bool TestHost::FileExists(const std::wstring& path) { return HasFile(Physical(path)); }
bool TestHost::DirectoryExists(const std::wstring& path) { return HasDirectory(Physical(path)); }
bool TestHost::ListDirectory(const std::wstring& path, std::vector<DirEntry>* out) {
  out->clear();
  std::wstring key = Normalize(Physical(path));
  // Drive roots always exist, as for file creation.
  if (!dirs_.count(key) && key.size() > 3) return false;
  std::wstring prefix = key;
  if (prefix.back() != L'\\') prefix += L'\\';
  auto directlyInside = [&](const std::wstring& k) {
    return k.size() > prefix.size() && k.compare(0, prefix.size(), prefix) == 0 &&
           k.find(L'\\', prefix.size()) == std::wstring::npos;
  };
  // The listing shows names as first spelled, like a case-preserving file
  // system.
  auto nameOf = [](const std::wstring& spelling) {
    std::wstring s = spelling;
    while (s.size() > 1 && (s.back() == L'\\' || s.back() == L'/')) s.pop_back();
    size_t pos = s.find_last_of(L"\\/");
    return pos == std::wstring::npos ? s : s.substr(pos + 1);
  };
  for (const auto& kv : dirs_)
    if (directlyInside(kv.first)) out->push_back({nameOf(kv.second), true, 0});
  for (const auto& kv : files_)
    if (directlyInside(kv.first)) out->push_back({nameOf(kv.second.spelling), false, kv.second.bytes.size()});
  return true;
}

std::wstring TestHost::ModulePath() { return modulePath; }
std::wstring TestHost::TempFolder() { return tempFolder; }
std::wstring TestHost::CurrentFolder() { return currentFolder; }

size_t TestHost::ReadProfileSection(const std::wstring& file, const std::wstring& section, wchar_t* buffer,
                                    size_t capacity) {
  auto bytes = FileBytes(file);
  return FormatProfileSection(bytes ? *bytes : std::string(), section, buffer, capacity);
}

void TestHost::SetRegValue(uint32_t root, const std::wstring& key, const std::wstring& name, uint32_t type,
                           const std::vector<uint8_t>& data) {
  registry[{root, Normalize(key)}].values[AsciiLower(name)] = RegValue{type, data};
}

std::optional<TestHost::RegValue> TestHost::GetRegValue(uint32_t root, const std::wstring& key,
                                                        const std::wstring& name) const {
  auto k = registry.find({root, Normalize(key)});
  if (k == registry.end()) return std::nullopt;
  auto v = k->second.values.find(AsciiLower(name));
  if (v == k->second.values.end()) return std::nullopt;
  return v->second;
}

bool TestHost::HasRegKey(uint32_t root, const std::wstring& key) const {
  return registry.count({root, Normalize(key)}) != 0;
}

long TestHost::RegOpenKey(uint32_t root, const std::wstring& path, RegKey* key) {
  *key = 0;
  if (InSet(failRegOpenKeys, Normalize(path))) return kErrAccessDenied;
  if (!registry.count({root, Normalize(path)})) return kErrFileNotFound;
  *key = nextKey_++;
  openKeys_[*key] = {root, Normalize(path)};
  return kErrSuccess;
}

long TestHost::RegCreateKey(uint32_t root, const std::wstring& path, RegKey* key) {
  *key = 0;
  if (failRegCreate || InSet(failRegCreateKeys, Normalize(path))) return kErrAccessDenied;
  // Creating a key creates every missing level above it.
  std::wstring norm = Normalize(path);
  for (size_t pos = norm.find(L'\\'); pos != std::wstring::npos; pos = norm.find(L'\\', pos + 1))
    registry[{root, norm.substr(0, pos)}];
  registry[{root, norm}];
  *key = nextKey_++;
  openKeys_[*key] = {root, norm};
  return kErrSuccess;
}

long TestHost::RegSetValue(RegKey key, const std::wstring& name, uint32_t type, const uint8_t* data,
                           uint32_t size) {
  auto it = openKeys_.find(key);
  if (it == openKeys_.end()) return kErrInvalidHandle;
  if (failRegSet) return kErrAccessDenied;
  for (const std::wstring& n : failRegSetNames)
    if (EqualsNoCase(n, name)) return kErrAccessDenied;
  std::vector<uint8_t> bytes(data, data + size);
  regWrites.push_back({it->second.first, it->second.second, name, type, bytes});
  registry[it->second].values[AsciiLower(name)] = RegValue{type, std::move(bytes)};
  return kErrSuccess;
}

long TestHost::RegQueryValue(RegKey key, const std::wstring& name, uint32_t* type, std::vector<uint8_t>* data) {
  auto it = openKeys_.find(key);
  if (it == openKeys_.end()) return kErrInvalidHandle;
  auto& values = registry[it->second].values;
  auto v = values.find(AsciiLower(name));
  if (v == values.end()) return kErrFileNotFound;
  if (type) *type = v->second.type;
  if (data) *data = v->second.data;
  return kErrSuccess;
}

long TestHost::RegDeleteValue(RegKey key, const std::wstring& name) {
  auto it = openKeys_.find(key);
  if (it == openKeys_.end()) return kErrInvalidHandle;
  if (failRegDelete) return kErrAccessDenied;
  return registry[it->second].values.erase(AsciiLower(name)) ? kErrSuccess : kErrFileNotFound;
}

long TestHost::RegCloseKey(RegKey key) { return openKeys_.erase(key) ? kErrSuccess : kErrInvalidHandle; }

bool TestHost::GetVersionInfo(bool extended, OsVersion* out) {
  const std::optional<OsVersion>& v = extended ? versionEx : versionBasic;
  if (!v) return false;
  *out = *v;
  return true;
}

uint16_t TestHost::SystemDefaultLangId() { return langId; }

std::wstring TestHost::SpecialFolderPath(int csidl) {
  auto it = specialFolders.find(csidl);
  return it == specialFolders.end() ? std::wstring() : it->second;
}

std::wstring TestHost::AnsiToWide(std::string_view text) { return Windows1252ToWide(text); }

int TestHost::MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t flags) {
  messages.push_back({text, caption, flags});
  return messageBoxAnswer;
}

void TestHost::DebugOutput(const std::wstring& text) { debugLines.push_back(text); }

std::wstring TestHost::Physical(const std::wstring& path) const {
  if (!isWow64 || redirectionDisabled || systemFolder.empty()) return path;
  std::wstring system = Normalize(systemFolder);
  std::wstring folded = AsciiLower(path);
  for (wchar_t& c : folded)
    if (c == L'/') c = L'\\';
  if (folded.compare(0, system.size(), system) != 0) return path;
  if (folded.size() > system.size() && folded[system.size()] != L'\\') return path;
  return sysWow64Folder + path.substr(system.size());
}

bool TestHost::CopyFileTo(const std::wstring& fromRequested, const std::wstring& toRequested, bool failIfExists,
                          long* error) {
  auto fail = [&](long e) {
    if (error) *error = e;
    return false;
  };
  const std::wstring from = Physical(fromRequested), to = Physical(toRequested);
  auto src = files_.find(Normalize(from));
  if (src == files_.end()) return fail(dirs_.count(Normalize(from)) ? kErrAccessDenied : kErrFileNotFound);
  if (InSet(lockedFiles, src->first)) return fail(kErrSharingViolation);
  if (src->second.openCount > 0 && !(src->second.share & kShareRead)) return fail(kErrSharingViolation);
  std::string bytes = src->second.bytes;
  // The target goes through OpenFile so folders, locks and read-only files
  // refuse it exactly as they refuse any writer.
  long e = kErrSuccess;
  auto out = OpenFile(to, FileAccess::kWrite, kShareNone,
                      failIfExists ? FileCreate::kCreateNew : FileCreate::kCreateAlways, &e);
  if (!out) return fail(e);
  out->Write(bytes.data(), bytes.size());
  if (error) *error = kErrSuccess;
  return true;
}

bool TestHost::CreateDirectoryWithSddl(const std::wstring& path, const std::wstring& sddl, long* error) {
  std::wstring physical = Physical(path);
  if (HasDirectory(physical) || HasFile(physical)) {
    if (error) *error = kErrAlreadyExists;
    return false;
  }
  if (!CreateDirectory(path)) {
    if (error) *error = kErrPathNotFound;
    return false;
  }
  directorySddl[Normalize(physical)] = sddl;
  if (error) *error = kErrSuccess;
  return true;
}

bool TestHost::IsHeld(const std::wstring& path) const {
  std::wstring key = Normalize(path);
  for (const auto& kv : holds_)
    if (kv.second == key) return true;
  return false;
}

long TestHost::CreateHeldFolder(const std::wstring& path, const std::wstring& sddl, FolderHold* hold) {
  *hold = 0;
  if (failHeldFolders) return kErrAccessDenied;
  long error = kErrSuccess;
  if (!CreateDirectoryWithSddl(path, sddl, &error)) return error;
  *hold = nextHold_++;
  holds_[*hold] = Normalize(Physical(path));
  return kErrSuccess;
}

void TestHost::ReleaseHeldFolder(FolderHold hold) { holds_.erase(hold); }

bool TestHost::RemoveFolder(const std::wstring& requested) {
  const std::wstring path = Physical(requested);
  std::wstring key = Normalize(path);
  std::vector<DirEntry> inside;
  if (!dirs_.count(key) || IsHeld(path) || !ListDirectory(path, &inside) || !inside.empty()) return false;
  dirs_.erase(key);
  directorySddl.erase(key);
  return true;
}

std::wstring TestHost::SystemFolder() { return systemFolder; }
std::wstring TestHost::WindowsFolder() { return windowsFolder; }
bool TestHost::IsWow64() { return isWow64; }
bool TestHost::Is64BitWindows() { return is64BitWindows || isWow64; }

bool TestHost::DisableFsRedirection(uintptr_t* cookie) {
  if (cookie) *cookie = 0;
  if (!hasRedirectionControl || !isWow64) return false;
  ++redirectionDisableCalls;
  // The cookie carries the previous state, as the system's does.
  if (cookie) *cookie = redirectionDisabled ? 2 : 1;
  redirectionDisabled = true;
  return true;
}

bool TestHost::RevertFsRedirection(uintptr_t cookie) {
  if (!hasRedirectionControl || !isWow64 || (cookie != 1 && cookie != 2)) return false;
  ++redirectionRevertCalls;
  redirectionDisabled = cookie == 2;
  return true;
}

bool TestHost::CreateShellLink(const ShellLink& link) {
  if (failShellLinks || link.target.empty() || link.linkPath.empty()) return false;
  std::wstring path = Physical(link.linkPath);
  std::wstring folder = FolderOf(path);
  if (folder.empty() || (Normalize(folder).size() > 3 && !HasDirectory(folder)) || HasDirectory(path)) return false;
  if (InSet(lockedFiles, Normalize(path)) || InSet(readOnlyFiles, Normalize(path))) return false;
  AddFile(path, "shell link -> " + ToUtf8(link.target));
  shellLinks.push_back(link);
  return true;
}

bool TestHost::StartProgram(const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
                            const std::wstring& folder, int show) {
  if (failStartProgram) return false;
  startedPrograms.push_back({verb, file, parameters, folder, show});
  return true;
}

long TestHost::CreateNamedEvent(const std::wstring& name) {
  if (failCreateEvent) return kErrAccessDenied;
  // Event names are case-sensitive.
  if (!namedEvents.insert(name).second) return kErrAlreadyExists;
  return kErrSuccess;
}

std::wstring TestHost::ModuleKey(const std::wstring& module) const {
  return Normalize(module.empty() ? modulePath : module);
}

void TestHost::AddResource(const std::wstring& module, const std::wstring& type, uint32_t id,
                           const std::string& bytes) {
  resources_[{ModuleKey(module), AsciiLower(type), id}] = bytes;
}

void TestHost::AddModuleProc(const std::wstring& module, const std::string& name, void* proc) {
  procs_[{ModuleKey(module), name}] = proc;
}

std::vector<std::wstring> TestHost::LoadedModules() const {
  std::vector<std::wstring> out;
  for (const auto& kv : modules_) out.push_back(kv.second);
  return out;
}

Host::Module TestHost::LoadModule(const std::wstring& path) {
  std::wstring physical = Physical(path);
  if (!HasFile(physical)) return 0;
  Module handle = nextModule_++;
  modules_[handle] = Normalize(physical);
  return handle;
}

Host::Module TestHost::LoadModuleWithItsImports(const std::wstring& path) {
  std::wstring physical = Physical(path);
  for (const auto& imports : moduleImports) {
    if (Normalize(imports.first) != Normalize(physical)) continue;
    std::vector<std::wstring> loaded = LoadedModules();
    for (const std::wstring& name : imports.second) {
      bool found = HasFile(FolderOf(physical) + name) || HasFile(Physical(systemFolder + L"\\" + name));
      for (const std::wstring& m : loaded) found = found || Normalize(m.substr(FolderOf(m).size())) == Normalize(name);
      if (!found) return 0;
    }
  }
  Module handle = LoadModule(path);
  if (handle) withImports_.insert(handle);
  return handle;
}

bool TestHost::LoadedWithItsImports(const std::wstring& path) const {
  std::wstring key = Normalize(Physical(path));
  for (Module m : withImports_) {
    auto it = modules_.find(m);
    if (it != modules_.end() && it->second == key) return true;
  }
  return false;
}

void TestHost::UnloadModule(Module module) {
  modules_.erase(module);
  withImports_.erase(module);
}

void* TestHost::ModuleProc(Module module, const std::string& name) {
  std::wstring key;
  if (module == 0) {
    key = ModuleKey(std::wstring());
  } else {
    auto m = modules_.find(module);
    if (m == modules_.end()) return nullptr;
    key = m->second;
  }
  auto it = procs_.find({key, name});
  return it == procs_.end() ? nullptr : it->second;
}

bool TestHost::ReadResource(Module module, const std::wstring& type, uint32_t id, std::string* bytes) {
  std::wstring key;
  if (module == 0) {
    key = ModuleKey(std::wstring());
  } else {
    auto m = modules_.find(module);
    if (m == modules_.end()) return false;
    key = m->second;
  }
  auto it = resources_.find({key, AsciiLower(type), id});
  if (it == resources_.end()) return false;
  *bytes = it->second;
  return true;
}

void TestHost::ExitProcess(uint32_t code) { throw ProcessExit{code}; }

}  // namespace zor
