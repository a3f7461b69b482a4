#include "platform/testhost/test_host.h"

#include <cstring>

#include "common/wstr.h"
#include "platform/profile_section.h"

namespace zor {

// An open in-memory file. It keeps its own position; the bytes live in the
// host so that what one handle writes, the next one reads.
class TestHost::MemFile : public File {
 public:
  MemFile(TestHost* host, std::wstring key, bool write, uint32_t share)
      : host_(host), key_(std::move(key)), write_(write), share_(share) {}
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
    std::memcpy(buffer, b->data() + pos_, n);
    pos_ += n;
    return static_cast<int64_t>(n);
  }
  int64_t Write(const void* buffer, size_t size) override {
    std::string* b = Bytes();
    if (!b || !write_) return -1;
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

 private:
  std::string* Bytes() {
    auto it = host_->files_.find(key_);
    return it == host_->files_.end() ? nullptr : &it->second.bytes;
  }
  TestHost* host_;
  std::wstring key_;
  bool write_;
  uint32_t share_;
  size_t pos_ = 0;
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

std::unique_ptr<File> TestHost::OpenFile(const std::wstring& path, FileAccess access, uint32_t share,
                                         FileCreate create, long* error) {
  auto fail = [&](long e) {
    if (error) *error = e;
    return std::unique_ptr<File>();
  };
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
  return std::make_unique<MemFile>(this, key, write, share);
}

bool TestHost::CanOpenDevice(const std::wstring& path) { return InSet(devices, Normalize(path)); }

bool TestHost::CreateDirectory(const std::wstring& path) {
  std::wstring key = Normalize(path);
  if (dirs_.count(key) || files_.count(key)) return false;
  std::wstring parent = FolderOf(key);
  if (parent.size() > 3 && !dirs_.count(Normalize(parent))) return false;
  dirs_.emplace(key, path);
  return true;
}

bool TestHost::DeleteFile(const std::wstring& path) {
  auto it = files_.find(Normalize(path));
  if (it == files_.end() || it->second.openCount > 0 || InSet(readOnlyFiles, it->first)) return false;
  files_.erase(it);
  return true;
}

bool TestHost::MoveFile(const std::wstring& from, const std::wstring& to) {
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

bool TestHost::FileExists(const std::wstring& path) { return HasFile(path); }
bool TestHost::DirectoryExists(const std::wstring& path) { return HasDirectory(path); }
bool TestHost::ListDirectory(const std::wstring& path, std::vector<DirEntry>* out) {
  out->clear();
  std::wstring key = Normalize(path);
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
  if (!registry.count({root, Normalize(path)})) return kErrFileNotFound;
  *key = nextKey_++;
  openKeys_[*key] = {root, Normalize(path)};
  return kErrSuccess;
}

long TestHost::RegCreateKey(uint32_t root, const std::wstring& path, RegKey* key) {
  *key = 0;
  if (failRegCreate) return kErrAccessDenied;
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
  registry[it->second].values[AsciiLower(name)] = RegValue{type, std::vector<uint8_t>(data, data + size)};
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

std::wstring TestHost::AnsiToWide(std::string_view text) {
  std::wstring out;
  for (char c : text) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return out;
}

int TestHost::MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t flags) {
  messages.push_back({text, caption, flags});
  return messageBoxAnswer;
}

void TestHost::DebugOutput(const std::wstring& text) { debugLines.push_back(text); }

}  // namespace zor
