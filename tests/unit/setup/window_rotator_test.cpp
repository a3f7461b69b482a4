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

std::string PeString(const zortest::PeBytes& b) { return std::string(b.begin(), b.end()); }

// A renderer library image whose version resource names `company` and
// `product`; `tag` makes images of the same identity differ.
std::string Library(const std::u16string& company, const std::u16string& product, const std::u16string& tag) {
  return PeString(zortest::BuildPe(zortest::VersionInfo({zortest::StringTable(
                                       u"000004b0", {{u"CompanyName", company},
                                                     {u"ProductName", product},
                                                     {u"FileVersion", tag}})}),
                                   false)
                      .bytes);
}
std::string Ours(const std::u16string& tag) { return Library(u"Tarvex", u"Tarvex Orbiscene runtime", tag); }

class RendererPayloadTest : public ::testing::Test {
 protected:
  RendererPayloadTest() : scope_(&host_) {
    for (const wchar_t* d : {L"C:\\Temp", L"C:\\Windows", L"C:\\Windows\\System32"}) host_.AddDirectory(d);
    for (const zor::PayloadFile& f : zor::kRendererLibraries)
      host_.AddResource(L"", zor::kRendererLibraryType, f.resourceId, Payload(f));
  }
  static std::string Payload(const zor::PayloadFile& f) { return Ours(u"new " + std::u16string(1, static_cast<char16_t>(u'0' + f.resourceId % 10))); }
  std::optional<std::string> System(const wchar_t* name) const { return host_.FileBytes(kSystem + name); }

  TestHost host_;
  zor::ScopedHost scope_;
};

TEST_F(RendererPayloadTest, OnlyOurOwnLibrariesAreReplaced) {
  const zor::PayloadFile& devil = zor::kRendererLibraries[0];
  struct Case {
    const char* what;
    std::optional<std::string> existing;
    bool locked;
    bool replaced;
  };
  const std::string foreign = Library(u"Image Co", u"DevIL", u"1.7");
  const Case cases[] = {
      {"no file yet", std::nullopt, false, true},
      {"an older build of ours", Ours(u"old"), false, true},
      {"the same bytes", Payload(devil), false, true},
      {"another product's library", foreign, false, false},
      {"our company, another product", Library(u"Tarvex", u"Tarvex Lumaglimpse", u"1"), false, false},
      {"not a program at all", std::string("just text"), false, false},
      {"an empty file", std::string(), false, false},
      {"a file nobody can read", Ours(u"old"), true, false},
  };
  for (const Case& c : cases) {
    TestHost& h = host_;
    h.lockedFiles.clear();
    h.DeleteFile(kSystem + devil.fileName);
    if (c.existing) h.AddFile(kSystem + devil.fileName, *c.existing);
    if (c.locked) h.lockedFiles.insert(kSystem + devil.fileName);
    EXPECT_EQ(zor::ExtractRendererLibrary(0, devil), c.replaced ? 1 : 0) << c.what;
    h.lockedFiles.clear();
    EXPECT_EQ(System(devil.fileName), c.replaced ? Payload(devil) : *c.existing) << c.what;
  }
}

TEST_F(RendererPayloadTest, AForeignLibraryStopsOnlyItself) {
  const std::string foreign = Library(u"Image Co", u"DevIL", u"1.7");
  host_.AddFile(kSystem + L"ILU.dll", foreign);
  host_.AddFile(kSystem + L"Orbiscene.dll", Ours(u"old"));
  EXPECT_EQ(zor::ExtractRendererLibraries(0), 1);
  EXPECT_EQ(System(L"ILU.dll"), foreign);
  for (const zor::PayloadFile& f : zor::kRendererLibraries)
    if (std::wstring(f.fileName) != L"ILU.dll") {
      EXPECT_EQ(System(f.fileName), Payload(f)) << f.resourceId;
    }
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

class RotatorTest : public RendererPayloadTest {
 protected:
  RotatorTest() { g_log = RotatorLog(); }
  // The renderer loads once written, since the test host loads any module
  // whose file exists; `entry` is what it exports, if anything.
  void Export(void* entry) { host_.AddModuleProc(kSystem + L"Orbiscene.dll", "createOrbitWindow", entry); }
};

TEST_F(RotatorTest, AReadyRotatorIsKeptHostedOnTheDesktopAndReleasedAtTheEnd) {
  Export(&g_entry);
  {
    zor::CRendererHolder holder;
    EXPECT_EQ(holder.LoadRotator(0, &MakeFake, 0x10010), 1);
    EXPECT_NE(holder.Rotator(), nullptr);
    EXPECT_NE(holder.RendererModule(), 0u);
    EXPECT_EQ(g_log.calls, (std::vector<std::string>{"Initialize", "SetHostWindow 65552"}));
    // The libraries went to the system folder first.
    for (const zor::PayloadFile& f : zor::kRendererLibraries) EXPECT_TRUE(host_.HasFile(kSystem + f.fileName));
  }
  EXPECT_EQ(g_log.calls.back(), "Release");
  // The library itself stays loaded for the life of the process.
  ASSERT_EQ(host_.LoadedModules().size(), 1u);
  EXPECT_TRUE(zor::EqualsNoCase(host_.LoadedModules()[0], kSystem + L"Orbiscene.dll"));
}

TEST_F(RotatorTest, WithoutAUsableRotatorTheHolderHasNone) {
  struct Case {
    const char* what;
    void* entry;       // null: no export
    bool ready;
    bool writable;     // the system folder takes the libraries
    const wchar_t* foreign;  // a library of another product already there
    int result;
    bool keepsLibrary;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"no entry point", nullptr, true, true, nullptr, 0, false, {}},
      {"the entry point makes nothing", &g_nullEntry, true, true, nullptr, 1, true, {}},
      {"the rotator is not ready", &g_entry, false, true, nullptr, 1, true, {"Initialize"}},
      {"the renderer is not there", &g_entry, true, false, nullptr, 0, false, {}},
      // The renderer would bind to it: it is not even loaded.
      {"Direct3D's own d3dx9_35.dll", &g_entry, true, true, L"d3dx9_35.dll", 0, false, {}},
      {"another product's ILU.dll", &g_entry, true, true, L"ILU.dll", 0, false, {}},
  };
  for (const Case& c : cases) {
    TestHost host;
    zor::ScopedHost scope(&host);
    host.AddDirectory(L"C:\\Windows");
    if (c.writable) host.AddDirectory(L"C:\\Windows\\System32");
    for (const zor::PayloadFile& f : zor::kRendererLibraries)
      host.AddResource(L"", zor::kRendererLibraryType, f.resourceId, "library");
    if (c.entry) host.AddModuleProc(kSystem + L"Orbiscene.dll", "createOrbitWindow", c.entry);
    if (c.foreign) host.AddFile(kSystem + c.foreign, Library(u"Another Co", u"Something else", u"9"));
    g_log = RotatorLog();
    g_log.ready = c.ready;
    {
      zor::CRendererHolder holder;
      EXPECT_EQ(holder.LoadRotator(0, &MakeFake, 1), c.result) << c.what;
      EXPECT_EQ(holder.Rotator(), nullptr) << c.what;
      EXPECT_EQ(holder.RendererModule() != 0, c.keepsLibrary) << c.what;
      EXPECT_EQ(host.LoadedModules().size(), c.keepsLibrary ? 1u : 0u) << c.what;
    }
    // A rotator that was not ready is dropped, never released.
    EXPECT_EQ(g_log.calls, c.calls) << c.what;
  }
}

}  // namespace
