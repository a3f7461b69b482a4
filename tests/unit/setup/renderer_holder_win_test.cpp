// The setup's renderer loading against the real system (under Wine in the
// win64 build): the built libraries go to a folder of the run's own, the
// renderer is loaded from there with every supporting library beside it, its
// rotator is made through the program's own adapter, and at the end nothing
// of it stays loaded or on disk.
#if defined(_WIN32) && defined(ZOR_RENDERER_DIR)

#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <process.h>
#include <string>

#include "common/wstr.h"
#include "platform/win32/win32_host.h"
#include "setup/payloads.h"
#include "setup/win32/orbit_rotator_adapter.h"
#include "setup/window_rotator.h"
#include "tests/unit/renderer/renderer_win.h"

namespace {

namespace fs = std::filesystem;

// The real system, with a temp folder of the test's own and the renderer
// payloads the program would carry taken from the build folder.
class PayloadHost : public zor::Win32Host {
 public:
  explicit PayloadHost(std::wstring temp) : temp_(std::move(temp)) {}
  std::wstring TempFolder() override { return temp_; }
  bool ReadResource(Module module, const std::wstring& type, uint32_t id, std::string* bytes) override {
    if (module != 0 || type != zor::kRendererLibraryType) return Win32Host::ReadResource(module, type, id, bytes);
    for (const zor::PayloadFile& f : zor::kRendererLibraries) {
      if (f.resourceId != id) continue;
      std::ifstream in(fs::path(zortest::RendererPath(f.fileName)), std::ios::binary);
      if (!in) return false;
      bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      return true;
    }
    return false;
  }

 private:
  std::wstring temp_;
};

std::wstring LoadedFrom(const wchar_t* name) {
  HMODULE module = GetModuleHandleW(name);
  if (!module) return std::wstring();
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  return std::wstring(path, n);
}

class RendererHolderWin : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("zor-renderer-" + std::to_string(_getpid()) + "-" + info->name());
    std::error_code ec;
    fs::remove_all(dir_, ec);
    ASSERT_TRUE(fs::create_directories(dir_, ec)) << ec.message();
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

TEST_F(RendererHolderWin, TheRendererRunsFromItsOwnFolderAndLeavesNothing) {
  const std::wstring temp = dir_.wstring() + L"\\";
  // An earlier run's folder, with a library of the renderer's name in it
  // that must never be loaded.
  fs::create_directories(dir_ / "LumaglimpseRenderer.1");
  std::ofstream(dir_ / "LumaglimpseRenderer.1" / "d3dx9_35.dll", std::ios::binary) << "not a library";
  PayloadHost host(temp);
  zor::ScopedHost scope(&host);
  const std::wstring folder = temp + L"LumaglimpseRenderer.2";
  for (const zor::PayloadFile& f : zor::kRendererLibraries)
    ASSERT_EQ(GetModuleHandleW(f.fileName), nullptr) << "already loaded: " << zor::ToUtf8(f.fileName);
  {
    zor::CRendererHolder holder;
    ASSERT_EQ(holder.LoadRotator(0, &zor::MakeOrbitRotator, reinterpret_cast<zor::WindowHandle>(GetDesktopWindow())),
              1);
    EXPECT_TRUE(zor::EqualsNoCase(holder.RendererFolder(), folder));
    // Each of the five from the new folder: never the system folder's, the
    // program's or the earlier run's.
    for (const zor::PayloadFile& f : zor::kRendererLibraries) {
      EXPECT_TRUE(zor::EqualsNoCase(LoadedFrom(f.fileName), folder + L"\\" + f.fileName))
          << zor::ToUtf8(f.fileName) << " from " << zor::ToUtf8(LoadedFrom(f.fileName));
    }
    // Held: nobody can move it aside and put another folder in its place.
    EXPECT_FALSE(MoveFileW(folder.c_str(), (folder + L".moved").c_str()));
    EXPECT_TRUE(fs::is_directory(fs::path(folder)));
    // The rotator checks the supporting libraries' interface levels and
    // needs a screen to draw on.
    HDC screen = GetDC(nullptr);
    if (screen) {
      ReleaseDC(nullptr, screen);
      ASSERT_NE(holder.Rotator(), nullptr) << "the rotator did not initialise";
    }
    // A turn the way the wizard plays it, from the page on screen to one
    // moved off it: a turn that plays takes its duration, one that cannot
    // returns at once.
    HWND start = zortest::MakeColourWindow(0xC02020, 40, 30, 160, 120);
    HWND end = zortest::MakeColourWindow(0x2040D0, 3000, 0, 160, 120);
    if (start && end && holder.Rotator()) {
      zor::IWindowRotator* rotator = holder.Rotator();
      rotator->CaptureStartPicture(reinterpret_cast<zor::WindowHandle>(start));
      rotator->ShowOverlay();
      rotator->CaptureEndPicture(reinterpret_cast<zor::WindowHandle>(end));
      const auto begin = std::chrono::steady_clock::now();
      rotator->PlayTurn(100, 1, 0, 0, 0);
      const double elapsed = zortest::MillisecondsSince(begin);
      EXPECT_GE(elapsed, 95.0);
      EXPECT_LT(elapsed, 2000.0);
      rotator->HideOverlay();
    }
    for (HWND w : {start, end})
      if (w) DestroyWindow(w);
  }
  for (const zor::PayloadFile& f : zor::kRendererLibraries) {
    EXPECT_EQ(GetModuleHandleW(f.fileName), nullptr) << "still loaded: " << zor::ToUtf8(f.fileName);
  }
  EXPECT_FALSE(fs::exists(fs::path(folder)));
  // The earlier run's folder is not ours to touch.
  EXPECT_TRUE(fs::exists(dir_ / "LumaglimpseRenderer.1" / "d3dx9_35.dll"));
}

TEST_F(RendererHolderWin, AHeldFolderIsMadeOnceAndGoesOnlyWhenLetGo) {
  zor::Host& host = zor::PlatformHost();
  const std::wstring path = (dir_ / "held").wstring();
  zor::Host::FolderHold hold = 0, second = 0;
  ASSERT_EQ(host.CreateHeldFolder(path, zor::kPayloadFolderSddl, &hold), zor::kErrSuccess);
  EXPECT_NE(hold, 0u);
  EXPECT_TRUE(fs::is_directory(fs::path(path)));
  EXPECT_EQ(host.CreateHeldFolder(path, zor::kPayloadFolderSddl, &second), zor::kErrAlreadyExists);
  EXPECT_EQ(second, 0u);
  EXPECT_FALSE(MoveFileW(path.c_str(), (path + L".moved").c_str()));
  EXPECT_FALSE(host.RemoveFolder(path));
  host.ReleaseHeldFolder(hold);
  EXPECT_TRUE(host.RemoveFolder(path));
  EXPECT_FALSE(fs::exists(fs::path(path)));
  // Nothing is made from an access list the system refuses, nor below a
  // folder that is not there.
  EXPECT_NE(host.CreateHeldFolder(path, L"not an access list", &hold), zor::kErrSuccess);
  EXPECT_FALSE(fs::exists(fs::path(path)));
  EXPECT_EQ(host.CreateHeldFolder((dir_ / "no" / "such").wstring(), zor::kPayloadFolderSddl, &hold),
            zor::kErrPathNotFound);
}

}  // namespace

#endif
