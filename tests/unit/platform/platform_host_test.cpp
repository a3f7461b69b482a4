// The platform's own host against the real system: natively the Linux host,
// under Wine the Windows host. File behaviour both share is checked on both;
// what only Windows has (sharing modes, the registry, version and folders) is
// checked in the Windows build.
#ifdef _WIN32
#include "platform/win32/windows_api.h"
#include <process.h>
#define GetPid _getpid
#else
#include <unistd.h>
#define GetPid getpid
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/wstr.h"
#include "platform/host.h"
#ifdef _WIN32
#include "platform/win32/win32_host.h"
#endif

namespace {

namespace fs = std::filesystem;
using zor::FileAccess;
using zor::FileCreate;
using zor::SeekFrom;

class PlatformHost : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("zor-host-" + std::to_string(GetPid()) + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::wstring PathOf(const std::string& name) const { return (dir_ / name).wstring(); }

  zor::Host& host_ = zor::PlatformHost();
  fs::path dir_;
};

std::string ReadAll(zor::File& f) {
  std::string out;
  char chunk[64];
  int64_t n;
  while ((n = f.Read(chunk, sizeof chunk)) > 0) out.append(chunk, static_cast<size_t>(n));
  return out;
}

TEST_F(PlatformHost, FileReadWriteSeek) {
  std::wstring path = PathOf("data.bin");
  long error = -1;
  auto f = host_.OpenFile(path, FileAccess::kReadWrite, zor::kShareRead, FileCreate::kCreateNew, &error);
  ASSERT_TRUE(f);
  EXPECT_EQ(error, zor::kErrSuccess);
  EXPECT_EQ(f->Write("hello world", 11), 11);
  EXPECT_EQ(f->Size(), 11);
  EXPECT_EQ(f->Seek(6, SeekFrom::kBegin), 6);
  EXPECT_EQ(ReadAll(*f), "world");
  EXPECT_EQ(f->Read(nullptr, 0), 0);
  EXPECT_EQ(f->Seek(-5, SeekFrom::kEnd), 6);
  EXPECT_EQ(f->Seek(-1, SeekFrom::kCurrent), 5);
  EXPECT_EQ(f->Seek(-6, SeekFrom::kCurrent), -1) << "a negative position is refused";
  EXPECT_TRUE(f->Flush());
  f.reset();

  // Creation dispositions on an existing file.
  error = -1;
  auto keep = host_.OpenFile(path, FileAccess::kRead, zor::kShareRead, FileCreate::kOpenAlways, &error);
  ASSERT_TRUE(keep);
  EXPECT_EQ(error, zor::kErrSuccess) << "opening an existing file is success, not 'already exists'";
  EXPECT_EQ(ReadAll(*keep), "hello world");
  keep.reset();
  error = -1;
  auto trunc = host_.OpenFile(path, FileAccess::kWrite, zor::kShareNone, FileCreate::kCreateAlways, &error);
  ASSERT_TRUE(trunc);
  EXPECT_EQ(error, zor::kErrSuccess);
  EXPECT_EQ(trunc->Size(), 0);
  trunc.reset();
  EXPECT_FALSE(host_.OpenFile(path, FileAccess::kWrite, zor::kShareNone, FileCreate::kCreateNew));
}

TEST_F(PlatformHost, MissingFilesReportNotFound) {
  long error = -1;
  EXPECT_FALSE(host_.OpenFile(PathOf("missing.bin"), FileAccess::kRead, zor::kShareRead, FileCreate::kOpenExisting,
                              &error));
  EXPECT_EQ(error, zor::kErrFileNotFound);
  EXPECT_FALSE(host_.FileExists(PathOf("missing.bin")));
  EXPECT_FALSE(host_.DirectoryExists(PathOf("missing")));
  EXPECT_FALSE(host_.DeleteFile(PathOf("missing.bin")));
  EXPECT_FALSE(host_.MoveFile(PathOf("missing.bin"), PathOf("other.bin")));
}

TEST_F(PlatformHost, APathWithANulCharacterNamesNoFile) {
  // The system would read it only up to the NUL, and so reach another file.
  std::ofstream(dir_ / "a") << "not this one";
  for (FileCreate create : {FileCreate::kOpenExisting, FileCreate::kCreateAlways}) {
    long error = -1;
    EXPECT_FALSE(host_.OpenFile(PathOf("a") + std::wstring(L"\0b", 2), FileAccess::kReadWrite, zor::kShareRead, create,
                                &error));
    EXPECT_EQ(error, zor::kErrInvalidName);
  }
  EXPECT_FALSE(fs::exists(dir_ / "b"));
  std::ifstream in(dir_ / "a");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "not this one");
}

TEST_F(PlatformHost, FoldersAndMoves) {
  std::wstring sub = PathOf("sub");
  long error = -1;
  EXPECT_TRUE(host_.CreateDirectory(sub, &error));
  EXPECT_EQ(error, zor::kErrSuccess);
  EXPECT_FALSE(host_.CreateDirectory(sub, &error)) << "creating an existing folder fails";
  EXPECT_EQ(error, zor::kErrAlreadyExists);
  EXPECT_FALSE(host_.CreateDirectory(PathOf("none/deeper"), &error)) << "the parent is missing";
  EXPECT_EQ(error, zor::kErrPathNotFound);
  EXPECT_TRUE(host_.DirectoryExists(sub));
  EXPECT_FALSE(host_.FileExists(sub));
  EXPECT_FALSE(host_.OpenFile(sub, FileAccess::kRead, zor::kShareRead, FileCreate::kOpenExisting, &error))
      << "a folder does not open as a file";
  EXPECT_EQ(error, zor::kErrAccessDenied);

  std::wstring a = PathOf("a.txt"), b = PathOf("b.txt");
  for (auto [path, text] : {std::pair{a, "new"}, std::pair{b, "old contents"}}) {
    auto f = host_.OpenFile(path, FileAccess::kWrite, zor::kShareNone, FileCreate::kCreateAlways);
    ASSERT_TRUE(f);
    f->Write(text, std::char_traits<char>::length(text));
  }
  EXPECT_TRUE(host_.MoveFile(a, b)) << "moving replaces the target";
  EXPECT_FALSE(host_.FileExists(a));
  EXPECT_TRUE(host_.FileExists(b));
  auto f = host_.OpenFile(b, FileAccess::kRead, zor::kShareRead, FileCreate::kOpenExisting);
  ASSERT_TRUE(f);
  EXPECT_EQ(ReadAll(*f), "new");
  f.reset();
  EXPECT_TRUE(host_.DeleteFile(b));
  EXPECT_FALSE(host_.FileExists(b));
}

TEST_F(PlatformHost, ProgramAndTemporaryFolder) {
  std::wstring module = host_.ModulePath();
  std::wstring name = module.substr(module.find_last_of(L"\\/") + 1);
  EXPECT_EQ(zor::AsciiLower(name).rfind(L"zor_unit_tests", 0), 0u) << zor::ToUtf8(module);
  EXPECT_TRUE(host_.FileExists(module)) << zor::ToUtf8(module);
  std::wstring temp = host_.TempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_TRUE(temp.back() == L'\\' || temp.back() == L'/') << zor::ToUtf8(temp);
  EXPECT_TRUE(host_.DirectoryExists(temp)) << zor::ToUtf8(temp);
}

TEST_F(PlatformHost, AnsiTextInTheWesternCodePage) {
  // The test machines run with the Western European ANSI code page.
  EXPECT_EQ(host_.AnsiToWide("caf\xE9 ok"), L"caf\u00E9 ok");
  EXPECT_EQ(host_.AnsiToWide(""), L"");
  EXPECT_EQ(host_.AnsiToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST_F(PlatformHost, AnsiBytes80To9FAreWindows1252AndEveryByteComesBack) {
  // The bytes the code page leaves undefined become the C1 control of the
  // same value, as Windows decodes them.
  const wchar_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
  };
  for (int b = 0x80; b <= 0x9F; ++b)
    EXPECT_EQ(host_.AnsiToWide(std::string(1, static_cast<char>(b))), std::wstring(1, kHigh[b - 0x80])) << b;
  std::string every;
  for (int b = 1; b <= 0xFF; ++b) every.push_back(static_cast<char>(b));
  std::string back;
  ASSERT_TRUE(host_.WideToAnsi(host_.AnsiToWide(every), every.size() + 1, &back));
  EXPECT_EQ(back, every);
}

#ifdef _WIN32

TEST_F(PlatformHost, SharingModesAreEnforced) {
  std::wstring path = PathOf("shared.bin");
  auto writer = host_.OpenFile(path, FileAccess::kWrite, zor::kShareRead, FileCreate::kCreateAlways);
  ASSERT_TRUE(writer);
  long error = -1;
  auto reader = host_.OpenFile(path, FileAccess::kRead, zor::kShareRead | zor::kShareWrite,
                               FileCreate::kOpenExisting, &error);
  EXPECT_TRUE(reader) << "reading is shared";
  error = -1;
  EXPECT_FALSE(host_.OpenFile(path, FileAccess::kWrite, zor::kShareRead | zor::kShareWrite,
                              FileCreate::kOpenExisting, &error));
  EXPECT_EQ(error, zor::kErrSharingViolation) << "writing is not shared";
  reader.reset();
  writer.reset();
  auto exclusive = host_.OpenFile(path, FileAccess::kRead, zor::kShareNone, FileCreate::kOpenExisting);
  ASSERT_TRUE(exclusive);
  error = -1;
  EXPECT_FALSE(host_.OpenFile(path, FileAccess::kRead, zor::kShareRead | zor::kShareWrite,
                              FileCreate::kOpenExisting, &error));
  EXPECT_EQ(error, zor::kErrSharingViolation);
  EXPECT_FALSE(host_.DeleteFile(path)) << "an open file without delete sharing stays";
}

TEST_F(PlatformHost, NulDeviceOpens) {
  EXPECT_TRUE(host_.CanOpenDevice(L"NUL"));
  EXPECT_FALSE(host_.CanOpenDevice(L"\\\\.\\NoSuchDevice"));
}

class PlatformRegistry : public PlatformHost {
 protected:
  void TearDown() override {
    // The seam has no key deletion: tidy up with the system call.
    ::RegDeleteKeyW(HKEY_CURRENT_USER, key_.c_str());
    PlatformHost::TearDown();
  }
  const std::wstring key_ = L"Software\\ZorTest\\" + zor::ToWString(GetPid());
};

TEST_F(PlatformRegistry, ValuesRoundTrip) {
  zor::Host::RegKey key = 0;
  ASSERT_EQ(host_.RegCreateKey(zor::kHkeyCurrentUser, key_, &key), zor::kErrSuccess);
  ASSERT_NE(key, 0u);
  const std::vector<uint8_t> text = {'a', 0, 'b', 0, 0, 0};
  const std::vector<uint8_t> dword = {0x78, 0x56, 0x34, 0x12};
  EXPECT_EQ(host_.RegSetValue(key, L"Text", zor::kRegSz, text.data(), 6), zor::kErrSuccess);
  EXPECT_EQ(host_.RegSetValue(key, L"Number", zor::kRegDword, dword.data(), 4), zor::kErrSuccess);
  EXPECT_EQ(host_.RegSetValue(key, L"", zor::kRegBinary, nullptr, 0), zor::kErrSuccess);
  EXPECT_EQ(host_.RegCloseKey(key), zor::kErrSuccess);

  ASSERT_EQ(host_.RegOpenKey(zor::kHkeyCurrentUser, key_, &key), zor::kErrSuccess);
  uint32_t type = 99;
  std::vector<uint8_t> data;
  EXPECT_EQ(host_.RegQueryValue(key, L"text", &type, &data), zor::kErrSuccess) << "names ignore case";
  EXPECT_EQ(type, uint32_t{zor::kRegSz});
  EXPECT_EQ(data, text);
  EXPECT_EQ(host_.RegQueryValue(key, L"Number", &type, &data), zor::kErrSuccess);
  EXPECT_EQ(type, uint32_t{zor::kRegDword});
  EXPECT_EQ(data, dword);
  data.assign(3, 1);
  EXPECT_EQ(host_.RegQueryValue(key, L"", &type, &data), zor::kErrSuccess);
  EXPECT_EQ(type, uint32_t{zor::kRegBinary});
  EXPECT_TRUE(data.empty());
  EXPECT_EQ(host_.RegQueryValue(key, L"Number", nullptr, nullptr), zor::kErrSuccess);

  EXPECT_EQ(host_.RegDeleteValue(key, L"Number"), zor::kErrSuccess);
  EXPECT_EQ(host_.RegQueryValue(key, L"Number", &type, &data), zor::kErrFileNotFound);
  EXPECT_EQ(host_.RegDeleteValue(key, L"Number"), zor::kErrFileNotFound);
  EXPECT_EQ(host_.RegCloseKey(key), zor::kErrSuccess);
}

TEST_F(PlatformRegistry, RootKeysAndMissingKeys) {
  // The system's root handles are sign-extended on 64-bit Windows. Wine
  // accepts zero-extended ones too, so compare with the headers' values.
  const std::pair<uint32_t, HKEY> roots[] = {{zor::kHkeyClassesRoot, HKEY_CLASSES_ROOT},
                                             {zor::kHkeyCurrentUser, HKEY_CURRENT_USER},
                                             {zor::kHkeyLocalMachine, HKEY_LOCAL_MACHINE},
                                             {zor::kHkeyUsers, HKEY_USERS}};
  for (auto [root, system] : roots) {
    EXPECT_EQ(zor::RootKeyHandle(root), reinterpret_cast<uintptr_t>(system)) << std::hex << root;
    zor::Host::RegKey key = 0;
    EXPECT_EQ(host_.RegOpenKey(root, L"", &key), zor::kErrSuccess) << std::hex << root;
    if (key) host_.RegCloseKey(key);
  }
  zor::Host::RegKey key = 0;
  EXPECT_EQ(host_.RegOpenKey(zor::kHkeyLocalMachine, L"Software\\Microsoft", &key), zor::kErrSuccess);
  if (key) host_.RegCloseKey(key);
  key = 123;
  EXPECT_EQ(host_.RegOpenKey(zor::kHkeyCurrentUser, key_ + L"\\Missing", &key), zor::kErrFileNotFound);
  EXPECT_EQ(key, 0u);
}

#ifdef _WIN64
// The 64-bit build shares the 32-bit program's keys under HKLM\Software.
TEST_F(PlatformRegistry, SixtyFourBitBuildUsesTheThirtyTwoBitView) {
  zor::Host::RegKey key = 0;
  long r = host_.RegCreateKey(zor::kHkeyLocalMachine, key_, &key);
  if (r == zor::kErrAccessDenied) GTEST_SKIP() << "no write access to HKEY_LOCAL_MACHINE";
  ASSERT_EQ(r, zor::kErrSuccess);
  host_.RegCloseKey(key);
  std::wstring redirected = L"Software\\Wow6432Node" + key_.substr(8);
  HKEY h = nullptr;
  EXPECT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, redirected.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &h),
            ERROR_SUCCESS);
  if (h) ::RegCloseKey(h);
  EXPECT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &h),
            ERROR_FILE_NOT_FOUND);
  ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), KEY_WOW64_32KEY, 0);
}
#endif

TEST_F(PlatformHost, SystemInformation) {
  zor::OsVersion ex, basic;
  ASSERT_TRUE(host_.GetVersionInfo(true, &ex));
  ASSERT_TRUE(host_.GetVersionInfo(false, &basic));
  EXPECT_EQ(ex.platformId, 2u);
  EXPECT_GE(ex.major, 5u);
  EXPECT_EQ(basic.major, ex.major);
  EXPECT_EQ(basic.minor, ex.minor);
  EXPECT_EQ(basic.build, ex.build);
  EXPECT_GE(ex.productType, 1);
  EXPECT_NE(host_.SystemDefaultLangId(), 0);

  // Common application data (35) and the Windows folder (36) exist on every
  // installation; an unknown id gives nothing.
  for (int csidl : {35, 36}) {
    std::wstring path = host_.SpecialFolderPath(csidl);
    EXPECT_TRUE(host_.DirectoryExists(path)) << csidl << ": " << zor::ToUtf8(path);
  }
  EXPECT_EQ(host_.SpecialFolderPath(0x7F), L"");
  host_.DebugOutput(L"zor: debugger output from the host test");
}

#endif  // _WIN32

}  // namespace
