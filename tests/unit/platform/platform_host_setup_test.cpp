// The Windows host's setup services against the real system (under Wine in
// the win64 build).
#ifdef _WIN32
#include "platform/win32/windows_api.h"
#include <objbase.h>
#include <shlobj.h>
#include <process.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/wstr.h"
#include "platform/win32/win32_host.h"

namespace {

namespace fs = std::filesystem;

class Win32Setup : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("zor-setup-" + std::to_string(_getpid()) + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::wstring PathOf(const std::string& name) const { return (dir_ / name).wstring(); }
  void Write(const std::wstring& path, const std::string& bytes) {
    auto f = host_.OpenFile(path, zor::FileAccess::kWrite, 0, zor::FileCreate::kCreateAlways);
    ASSERT_TRUE(f);
    f->Write(bytes.data(), bytes.size());
  }
  std::string Read(const std::wstring& path) {
    auto f = host_.OpenFile(path, zor::FileAccess::kRead, zor::kShareRead, zor::FileCreate::kOpenExisting);
    std::string out;
    char chunk[64];
    int64_t n;
    while (f && (n = f->Read(chunk, sizeof chunk)) > 0) out.append(chunk, static_cast<size_t>(n));
    return out;
  }

  zor::Host& host_ = zor::PlatformHost();
  fs::path dir_;
};

TEST_F(Win32Setup, CopyReplacesOnlyWhenAllowed) {
  Write(PathOf("a"), "new");
  Write(PathOf("b"), "old");
  long error = 0;
  EXPECT_FALSE(host_.CopyFileTo(PathOf("a"), PathOf("b"), true, &error));
  EXPECT_EQ(error, 80) << "ERROR_FILE_EXISTS";
  EXPECT_TRUE(host_.CopyFileTo(PathOf("a"), PathOf("b"), false, &error));
  EXPECT_EQ(Read(PathOf("b")), "new");
  EXPECT_FALSE(host_.CopyFileTo(PathOf("missing"), PathOf("c"), false, &error));
  EXPECT_EQ(error, zor::kErrFileNotFound);
}

TEST_F(Win32Setup, SystemAndWindowsFoldersExist) {
  std::wstring system = host_.SystemFolder(), windows = host_.WindowsFolder();
  EXPECT_TRUE(host_.DirectoryExists(system)) << zor::ToUtf8(system);
  EXPECT_TRUE(host_.DirectoryExists(windows)) << zor::ToUtf8(windows);
  EXPECT_NE(system.back(), L'\\');
  EXPECT_EQ(zor::AsciiLower(system.substr(0, windows.size())), zor::AsciiLower(windows));
}

TEST_F(Win32Setup, BitnessAndRedirection) {
  uintptr_t cookie = 7;
#ifdef _WIN64
  EXPECT_FALSE(host_.IsWow64());
  EXPECT_TRUE(host_.Is64BitWindows());
  // Nothing to switch in a 64-bit process.
  EXPECT_FALSE(host_.DisableFsRedirection(&cookie));
  EXPECT_EQ(cookie, 0u);
#else
  EXPECT_EQ(host_.Is64BitWindows(), host_.IsWow64());
  if (host_.DisableFsRedirection(&cookie)) {
    EXPECT_TRUE(host_.RevertFsRedirection(cookie));
  }
#endif
}

TEST_F(Win32Setup, FolderWithAnAccessList) {
  const std::wstring sddl = L"D:(A;OICI;GA;;;BG)(A;OICI;GA;;;AN)(A;OICI;GA;;;AU)(A;OICI;GA;;;BA)";
  long error = 0;
  EXPECT_TRUE(host_.CreateDirectoryWithSddl(PathOf("open"), sddl, &error));
  EXPECT_TRUE(host_.DirectoryExists(PathOf("open")));
  EXPECT_FALSE(host_.CreateDirectoryWithSddl(PathOf("open"), sddl, &error));
  EXPECT_EQ(error, zor::kErrAlreadyExists);
  EXPECT_FALSE(host_.CreateDirectoryWithSddl(PathOf("no\\such"), sddl, &error));
  EXPECT_EQ(error, zor::kErrPathNotFound);
}

TEST_F(Win32Setup, ShellLinkIsSavedWithItsFields) {
  zor::ShellLink link;
  link.target = host_.SystemFolder() + L"\\notepad.exe";
  link.linkPath = PathOf("note.lnk");
  link.workingFolder = dir_.wstring();
  ASSERT_TRUE(host_.CreateShellLink(link));
  ASSERT_TRUE(host_.FileExists(link.linkPath));
  // Read it back through the same shell object.
  ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
  IShellLinkW* read = nullptr;
  IPersistFile* file = nullptr;
  ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&read))));
  ASSERT_TRUE(SUCCEEDED(read->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
  ASSERT_TRUE(SUCCEEDED(file->Load(link.linkPath.c_str(), STGM_READ)));
  wchar_t buffer[MAX_PATH] = {};
  EXPECT_TRUE(SUCCEEDED(read->GetWorkingDirectory(buffer, MAX_PATH)));
  EXPECT_EQ(zor::AsciiLower(buffer), zor::AsciiLower(dir_.wstring()));
  buffer[0] = 0;
  read->GetPath(buffer, MAX_PATH, nullptr, 0);
  EXPECT_EQ(zor::AsciiLower(buffer), zor::AsciiLower(link.target));
  file->Release();
  read->Release();
  ::CoUninitialize();

  link.linkPath = PathOf("missing\\note.lnk");
  EXPECT_FALSE(host_.CreateShellLink(link));
}

TEST_F(Win32Setup, NamedEventIsHeldOnce) {
  std::wstring name = L"Local\\zor-setup-test-" + zor::ToWString(_getpid());
  EXPECT_EQ(host_.CreateNamedEvent(name), zor::kErrSuccess);
  EXPECT_EQ(host_.CreateNamedEvent(name), zor::kErrAlreadyExists);
}

TEST_F(Win32Setup, ModulesProcsAndResources) {
  zor::Host::Module kernel = host_.LoadModule(L"Kernel32.dll");
  ASSERT_NE(kernel, 0u);
  EXPECT_NE(host_.ModuleProc(kernel, "GetSystemDirectoryW"), nullptr);
  EXPECT_EQ(host_.ModuleProc(kernel, "NoSuchEntryPoint"), nullptr);
  std::string bytes;
  EXPECT_FALSE(host_.ReadResource(kernel, L"SFX_DLL", 134, &bytes));
  host_.UnloadModule(kernel);
  EXPECT_EQ(host_.LoadModule(PathOf("none.dll")), 0u);
#ifdef ZOR_LANGUAGE_MODULE_DIR
  // A language module's string table: block 8 holds ids 112 to 127.
  zor::Host::Module module = host_.LoadModule(zor::FromUtf8(ZOR_LANGUAGE_MODULE_DIR) + L"\\InstallEn.dll");
  ASSERT_NE(module, 0u);
  ASSERT_TRUE(host_.ReadResource(module, L"#6", 8, &bytes));
  std::wstring text = zor::FromUtf16Le(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size() / 2);
  EXPECT_NE(text.find(L"Tarvex Lumaglimpse.lnk"), std::wstring::npos);
  host_.UnloadModule(module);
#endif
}

TEST_F(Win32Setup, AnsiConversionHasAByteLimit) {
  std::string out = "kept";
  EXPECT_TRUE(host_.WideToAnsi(std::wstring(259, L'a'), 260, &out));
  EXPECT_EQ(out.size(), 259u);
  out = "kept";
  EXPECT_FALSE(host_.WideToAnsi(std::wstring(260, L'a'), 260, &out));
  EXPECT_EQ(out, "kept");
  EXPECT_TRUE(host_.WideToAnsi(L"", 260, &out));
  EXPECT_EQ(out, "");
}

TEST_F(Win32Setup, StartedProgramRuns) {
  std::wstring marker = PathOf("started.txt");
  std::wstring parameters = L"/c echo started> \"" + marker + L"\"";
  ASSERT_TRUE(host_.StartProgram(L"open", L"cmd.exe", parameters, std::wstring(), zor::kSwHide));
  for (int i = 0; i < 100 && !host_.FileExists(marker); ++i) ::Sleep(100);
  EXPECT_TRUE(host_.FileExists(marker));
  EXPECT_FALSE(host_.StartProgram(L"open", PathOf("no-such-program.exe"), L"", std::wstring(), zor::kSwHide));
}

}  // namespace

#endif  // _WIN32
