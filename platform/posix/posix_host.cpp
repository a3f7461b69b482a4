// The Linux host: real files and folders for the package tool and tests.
// Windows-only services answer as a machine without them would (no registry,
// no special folders unless mapped, no message boxes).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/windows_1252.h"
#include "common/wstr.h"
#include "platform/host.h"
#include "platform/posix/posix_host.h"

namespace zor {
namespace {

long ErrnoToError(int e) {
  switch (e) {
    case ENOENT: return kErrFileNotFound;
    case ENOTDIR: return kErrPathNotFound;
    case EEXIST: return kErrAlreadyExists;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return kErrAccessDenied;
    case ENOSPC: return 112;  // ERROR_DISK_FULL
    case EIO: return kErrIoDevice;
    default: return kErrAccessDenied;
  }
}

class PosixFile : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { ::close(fd_); }
  int64_t Read(void* buffer, size_t size) override {
    for (;;) {
      ssize_t n = ::read(fd_, buffer, size);
      if (n >= 0) return n;
      if (errno != EINTR) return Failed();
    }
  }
  int64_t Write(const void* buffer, size_t size) override {
    const char* p = static_cast<const char*>(buffer);
    size_t left = size;
    while (left > 0) {
      ssize_t n = ::write(fd_, p, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        return Failed();
      }
      p += n;
      left -= static_cast<size_t>(n);
    }
    return static_cast<int64_t>(size);
  }
  int64_t Seek(int64_t offset, SeekFrom from) override {
    int whence = from == SeekFrom::kBegin ? SEEK_SET : from == SeekFrom::kCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return r < 0 ? -1 : static_cast<int64_t>(r);
  }
  int64_t Size() override {
    struct stat st;
    return ::fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
  }
  bool Flush() override { return true; }
  long LastError() const override { return error_; }

 private:
  int64_t Failed() {
    error_ = ErrnoToError(errno);
    return -1;
  }
  int fd_;
  long error_ = kErrSuccess;
};

}  // namespace

std::string PosixHost::NativePath(const std::wstring& path) const {
  std::wstring p = path;
  for (wchar_t& c : p)
    if (c == L'\\') c = L'/';
  return ToUtf8(p);
}

std::unique_ptr<File> PosixHost::OpenFile(const std::wstring& path, FileAccess access, uint32_t /*share*/,
                                          FileCreate create, long* error) {
  int flags = access == FileAccess::kRead ? O_RDONLY : access == FileAccess::kWrite ? O_WRONLY : O_RDWR;
  switch (create) {
    case FileCreate::kOpenExisting: break;
    case FileCreate::kCreateAlways: flags |= O_CREAT | O_TRUNC; break;
    case FileCreate::kOpenAlways: flags |= O_CREAT; break;
    case FileCreate::kCreateNew: flags |= O_CREAT | O_EXCL; break;
  }
  // The system would stop at the NUL and reach another file.
  if (path.find(L'\0') != std::wstring::npos) {
    if (error) *error = kErrInvalidName;
    return nullptr;
  }
  std::string native = NativePath(path);
  struct stat st;
  if (::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    if (error) *error = kErrAccessDenied;
    return nullptr;
  }
  // A pipe or a device read as a file would block or never end: reading
  // takes regular files only, checked on the opened file itself (opening a
  // pipe without O_NONBLOCK would already wait for a writer).
  const bool reading = access == FileAccess::kRead;
  int fd = ::open(native.c_str(), flags | O_CLOEXEC | (reading ? O_NONBLOCK : 0), 0644);
  if (fd < 0) {
    if (error) *error = ErrnoToError(errno);
    return nullptr;
  }
  if (reading) {
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      if (error) *error = kErrAccessDenied;
      return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  }
  if (error) *error = kErrSuccess;
  return std::make_unique<PosixFile>(fd);
}

bool PosixHost::CanOpenDevice(const std::wstring& path) {
  int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool PosixHost::CreateDirectory(const std::wstring& path, long* error) {
  bool made = ::mkdir(NativePath(path).c_str(), 0755) == 0;
  if (error) {
    // A missing parent is a missing path, as the system reports for folders.
    int e = errno;
    *error = made ? kErrSuccess : e == ENOENT ? kErrPathNotFound : ErrnoToError(e);
  }
  return made;
}

bool PosixHost::DeleteFile(const std::wstring& path) { return ::unlink(NativePath(path).c_str()) == 0; }

bool PosixHost::MoveFile(const std::wstring& from, const std::wstring& to) {
  return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool PosixHost::FileExists(const std::wstring& path) {
  struct stat st;
  return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PosixHost::DirectoryExists(const std::wstring& path) {
  struct stat st;
  return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixHost::ListDirectory(const std::wstring& path, std::vector<DirEntry>* out) {
  out->clear();
  std::string native = NativePath(path);
  DIR* dir = ::opendir(native.c_str());
  if (!dir) return false;
  if (!native.empty() && native.back() != '/') native += '/';
  errno = 0;
  while (const dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    // stat, not lstat: a link counts as what it points to, as a shortcut-free
    // Windows folder would show it.
    struct stat st;
    if (::stat((native + name).c_str(), &st) != 0) continue;
    DirEntry entry;
    entry.name = FromUtf8(name);
    if (S_ISDIR(st.st_mode)) {
      entry.isDirectory = true;
    } else if (S_ISREG(st.st_mode)) {
      entry.size = static_cast<uint64_t>(st.st_size);
    } else {
      continue;
    }
    out->push_back(std::move(entry));
    errno = 0;
  }
  bool ok = errno == 0;
  ::closedir(dir);
  if (!ok) out->clear();
  return ok;
}

std::wstring PosixHost::ModulePath() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return std::wstring();
  return FromUtf8(std::string(buf, static_cast<size_t>(n)));
}

std::wstring PosixHost::CurrentFolder() {
  std::string dir(4096, '\0');
  while (!::getcwd(&dir[0], dir.size())) {
    if (errno != ERANGE || dir.size() > (size_t{1} << 20)) return std::wstring();
    dir.resize(dir.size() * 2);
  }
  dir.resize(std::char_traits<char>::length(dir.c_str()));
  return FromUtf8(dir);
}

std::wstring PosixHost::TempFolder() {
  const char* t = std::getenv("TMPDIR");
  std::string dir = (t && *t) ? t : "/tmp";
  if (dir.back() != '/') dir += '/';
  return FromUtf8(dir);
}

size_t PosixHost::ReadProfileSection(const std::wstring& file, const std::wstring& section, wchar_t* buffer,
                                     size_t capacity) {
  std::string bytes;
  if (auto f = OpenFile(file, FileAccess::kRead, kShareRead, FileCreate::kOpenExisting)) {
    char chunk[8192];
    int64_t n;
    while ((n = f->Read(chunk, sizeof chunk)) > 0) bytes.append(chunk, static_cast<size_t>(n));
  }
  return FormatProfileSection(bytes, section, buffer, capacity);
}

long PosixHost::RegOpenKey(uint32_t, const std::wstring&, RegKey* key) {
  *key = 0;
  return kErrFileNotFound;
}
long PosixHost::RegCreateKey(uint32_t, const std::wstring&, RegKey* key) {
  *key = 0;
  return kErrAccessDenied;
}
long PosixHost::RegSetValue(RegKey, const std::wstring&, uint32_t, const uint8_t*, uint32_t) {
  return kErrInvalidHandle;
}
long PosixHost::RegQueryValue(RegKey, const std::wstring&, uint32_t*, std::vector<uint8_t>*) {
  return kErrInvalidHandle;
}
long PosixHost::RegDeleteValue(RegKey, const std::wstring&) { return kErrInvalidHandle; }
long PosixHost::RegCloseKey(RegKey) { return kErrInvalidHandle; }

bool PosixHost::GetVersionInfo(bool, OsVersion*) { return false; }
uint16_t PosixHost::SystemDefaultLangId() { return 0x0409; }

std::wstring PosixHost::SpecialFolderPath(int csidl) {
  auto it = folders_.find(csidl);
  return it == folders_.end() ? std::wstring() : it->second;
}

std::wstring PosixHost::AnsiToWide(std::string_view text) {
  // The code page of the default language's system (0x0409, above).
  return Windows1252ToWide(text);
}

int PosixHost::MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t flags) {
  std::fprintf(stderr, "%s: %s\n", ToUtf8(caption).c_str(), ToUtf8(text).c_str());
  return (flags & 0xF) == kMbYesNo ? kIdNo : (flags & 0xF) == kMbOkCancel ? kIdCancel : kIdOk;
}

void PosixHost::DebugOutput(const std::wstring& text) {
  if (std::getenv("ZOR_DEBUG_OUTPUT")) std::fprintf(stderr, "%s\n", ToUtf8(text).c_str());
}

void PosixHost::MapSpecialFolder(int csidl, const std::wstring& path) { folders_[csidl] = path; }

Host& PlatformHost() {
  static PosixHost host;
  return host;
}

}  // namespace zor
