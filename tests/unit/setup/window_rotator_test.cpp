#include "setup/window_rotator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/wstr.h"
#include "platform/testhost/test_host.h"
#include "setup/payloads.h"
#include "tests/unit/renderer/pe_builder.h"

namespace {

using zor::TestHost;

const std::wstring kSystem = L"C:\\Windows\\System32\\";
// Where the first run's libraries go.
const std::wstring kPrivate = L"C:\\Temp\\LumaglimpseRenderer.1\\";

std::string PeString(const zortest::PeBytes& b) { return std::string(b.begin(), b.end()); }

// A library image whose version resource names `company` and `product`.
std::string Library(const std::u16string& company, const std::u16string& product, const std::u16string& tag) {
  return PeString(zortest::BuildPe(zortest::VersionInfo({zortest::StringTable(
                                       u"000004b0", {{u"CompanyName", company},
                                                     {u"ProductName", product},
                                                     {u"FileVersion", tag}})}),
                                   false)
                      .bytes);
}

// ---- The rotator

struct RotatorLog {
  std::vector<std::string> calls;
  bool ready = true;
};

class FakeRotator : public zor::IWindowRotator {
 public:
  explicit FakeRotator(RotatorLog* log) : log_(log) {}
  bool Initialize() override {
    log_->calls.push_back("Initialize");
    return log_->ready;
  }
  void Release() override { log_->calls.push_back("Release"); }
  void SetHostWindow(zor::WindowHandle w) override { log_->calls.push_back("SetHostWindow " + std::to_string(w)); }
  void HideOverlay() override {}
  void PlayTurn(int, int, int, int, int) override {}
  void CaptureStartPicture(zor::WindowHandle) override {}
  void CaptureEndPicture(zor::WindowHandle) override {}
  void ShowOverlay() override {}

 private:
  RotatorLog* log_;
};

// The entry point the fake library exports: it hands back the log the
// rotator writes to, or null to stand for a renderer that made nothing.
RotatorLog g_log;
int g_entry = 0;  // its address is the entry point
int g_nullEntry = 0;

std::unique_ptr<zor::IWindowRotator> MakeFake(void* entry) {
  if (entry == &g_nullEntry) return nullptr;
  EXPECT_EQ(entry, &g_entry);
  return std::make_unique<FakeRotator>(&g_log);
}

// The renderer's imports, as renderer/CMakeLists.txt links it.
const std::vector<std::wstring> kRendererImports = {L"DevIL.dll", L"ILU.dll", L"ILUT.dll", L"d3dx9_35.dll"};

// A machine with a temp and a system folder and the program carrying the
// five libraries but `missing`; the renderer exports `entry` (null:
// nothing) and imports the other four.
void PrepareMachine(TestHost& host, void* entry, const wchar_t* missing = nullptr) {
  for (const wchar_t* d : {L"C:\\Temp", L"C:\\Windows", L"C:\\Windows\\System32"}) host.AddDirectory(d);
  for (const zor::PayloadFile& f : zor::kRendererLibraries)
    if (!missing || std::wstring(f.fileName) != missing)
      host.AddResource(L"", zor::kRendererLibraryType, f.resourceId, "library " + zor::ToUtf8(f.fileName));
  if (entry) host.AddModuleProc(kPrivate + L"Orbiscene.dll", "createOrbitWindow", entry);
  host.moduleImports[kPrivate + L"Orbiscene.dll"] = kRendererImports;
}

class RotatorTest : public ::testing::Test {
 protected:
  RotatorTest() : scope_(&host_) { g_log = RotatorLog(); }

  TestHost host_;
  zor::ScopedHost scope_;
};

TEST_F(RotatorTest, AReadyRotatorIsKeptHostedOnTheDesktopAndEverythingGoesAtTheEnd) {
  PrepareMachine(host_, &g_entry);
  // Direct3D's own helper in the system folder no longer matters: it is
  // neither replaced nor bound to.
  const std::string direct3d = Library(u"Another Co", u"DirectX", u"9");
  host_.AddFile(kSystem + L"d3dx9_35.dll", direct3d);
  const auto before = host_.FilePaths();
  {
    zor::CRendererHolder holder;
    EXPECT_EQ(holder.LoadRotator(0, &MakeFake, 0x10010), 1);
    EXPECT_NE(holder.Rotator(), nullptr);
    EXPECT_NE(holder.RendererModule(), 0u);
    EXPECT_EQ(holder.RendererFolder() + L"\\", kPrivate);
    EXPECT_EQ(g_log.calls, (std::vector<std::string>{"Initialize", "SetHostWindow 65552"}));
    for (const zor::PayloadFile& f : zor::kRendererLibraries) {
      EXPECT_EQ(host_.FileBytes(kPrivate + f.fileName), "library " + zor::ToUtf8(f.fileName));
      if (std::wstring(f.fileName) != L"d3dx9_35.dll") {
        EXPECT_FALSE(host_.HasFile(kSystem + f.fileName));
      }
    }
    // By its full path, its imports from beside it.
    ASSERT_EQ(host_.LoadedModules().size(), 1u);
    EXPECT_TRUE(zor::EqualsNoCase(host_.LoadedModules()[0], kPrivate + L"Orbiscene.dll"));
    EXPECT_TRUE(host_.LoadedWithItsImports(kPrivate + L"Orbiscene.dll"));
    EXPECT_TRUE(host_.IsHeld(kPrivate));
  }
  EXPECT_EQ(g_log.calls.back(), "Release");
  EXPECT_TRUE(host_.LoadedModules().empty());
  EXPECT_FALSE(host_.HasDirectory(kPrivate));
  EXPECT_EQ(host_.FilePaths(), before);
  EXPECT_EQ(host_.FileBytes(kSystem + L"d3dx9_35.dll"), direct3d);
}

TEST_F(RotatorTest, WithoutAUsableRotatorTheHolderHasNone) {
  struct Case {
    const char* what;
    void* entry;  // null: no export
    bool ready;
    bool temp;             // the temp folder exists
    const wchar_t* missing;  // a library the program does not carry
    int result;
    bool keepsLibrary;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"no entry point", nullptr, true, true, nullptr, 0, false, {}},
      {"the entry point makes nothing", &g_nullEntry, true, true, nullptr, 1, true, {}},
      {"the rotator is not ready", &g_entry, false, true, nullptr, 1, true, {"Initialize"}},
      {"no temp folder", &g_entry, true, false, nullptr, 0, false, {}},
      // Not loaded at all, even though a library of that name is in the
      // system folder (where the loader would look next).
      {"d3dx9_35.dll missing", &g_entry, true, true, L"d3dx9_35.dll", 0, false, {}},
      {"Orbiscene.dll missing", &g_entry, true, true, L"Orbiscene.dll", 0, false, {}},
  };
  for (const Case& c : cases) {
    TestHost host;
    zor::ScopedHost scope(&host);
    PrepareMachine(host, c.entry, c.missing);
    if (!c.temp) host.tempFolder = L"C:\\NoTemp\\";
    host.AddFile(kSystem + L"d3dx9_35.dll", "Direct3D's own");
    const auto before = host.FilePaths();
    g_log = RotatorLog();
    g_log.ready = c.ready;
    {
      zor::CRendererHolder holder;
      EXPECT_EQ(holder.LoadRotator(0, &MakeFake, 1), c.result) << c.what;
      EXPECT_EQ(holder.Rotator(), nullptr) << c.what;
      EXPECT_EQ(holder.RendererModule() != 0, c.keepsLibrary) << c.what;
      EXPECT_EQ(host.LoadedModules().size(), c.keepsLibrary ? 1u : 0u) << c.what;
      // A renderer that is not kept takes its folder with it at once.
      EXPECT_EQ(holder.RendererFolder().empty(), !c.keepsLibrary) << c.what;
    }
    // A rotator that was not ready is dropped, never released.
    EXPECT_EQ(g_log.calls, c.calls) << c.what;
    EXPECT_EQ(host.FilePaths(), before) << c.what;
    EXPECT_FALSE(host.HasDirectory(kPrivate)) << c.what;
  }
}

}  // namespace
