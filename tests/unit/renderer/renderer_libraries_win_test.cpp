// The five built renderer libraries: each carries our version resource (read
// the same by our reader and by the system), the renderer really pulls in its
// four supporting libraries, and those do what the renderer relies on.
#if defined(_WIN32) && defined(ZOR_RENDERER_DIR)

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "renderer/d3dx9_35/fold_math.h"
#include "renderer/devil/orb_image.h"
#include "renderer/ilu/orb_strip.h"
#include "renderer/ilut/orb_blit.h"
#include "renderer/version_probe.h"
#include "tests/unit/renderer/renderer_win.h"

using namespace zortest;

namespace {

struct LibraryFile {
  const wchar_t* file;
  const wchar_t* stem;
};

// In the order the setup writes them.
const LibraryFile kLibraries[] = {
    {L"DevIL.dll", L"DevIL"}, {L"ILU.dll", L"ILU"}, {L"ILUT.dll", L"ILUT"},
    {L"Orbiscene.dll", L"Orbiscene"}, {L"d3dx9_35.dll", L"d3dx9_35"},
};

std::string FileBytes(const std::wstring& path) {
  std::ifstream in(zor::ToUtf8(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The value as the system's version API reads it from the language-neutral
// Unicode table our scripts write.
std::optional<std::wstring> SystemVersionString(const std::wstring& path, const std::wstring& key) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
  wchar_t* value = nullptr;
  UINT length = 0;
  std::wstring query = L"\\StringFileInfo\\000004b0\\" + key;
  if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
    return std::nullopt;
  return std::wstring(value);
}

}  // namespace

TEST(RendererLibraries, CarryOurVersionResource) {
  for (const LibraryFile& lib : kLibraries) {
    SCOPED_TRACE(zor::ToUtf8(lib.file));
    const std::wstring path = RendererPath(lib.file);
    const std::string bytes = FileBytes(path);
    ASSERT_FALSE(bytes.empty());
    EXPECT_TRUE(zor::IsOurRendererLibrary(bytes));
    EXPECT_EQ(zor::ReadVersionString(bytes, L"InternalName"), std::wstring(lib.stem));
    EXPECT_EQ(zor::ReadVersionString(bytes, L"OriginalFilename"), std::wstring(lib.file));
    for (const wchar_t* key : {L"CompanyName", L"ProductName", L"InternalName", L"FileDescription", L"FileVersion"}) {
      SCOPED_TRACE(zor::ToUtf8(key));
      auto ours = zor::ReadVersionString(bytes, key);
      ASSERT_TRUE(ours.has_value());
      EXPECT_EQ(ours, SystemVersionString(path, key));
    }
  }
}

TEST(RendererLibraries, RendererLoadsItsSupportingLibraries) {
  RendererLibrary renderer(L"Orbiscene.dll");
  ASSERT_NE(renderer.handle(), nullptr) << GetLastError();
  EXPECT_NE(renderer.Get<void*>("createOrbitWindow"), nullptr);
  for (const wchar_t* dependency : {L"DevIL.dll", L"ILU.dll", L"ILUT.dll", L"d3dx9_35.dll"}) {
    EXPECT_NE(GetModuleHandleW(dependency), nullptr) << zor::ToUtf8(dependency);
  }
}

// The supporting libraries, called the way the renderer calls them.
class SupportingLibraries : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(ilut_.handle(), nullptr) << GetLastError();
    ASSERT_NE(fold_.handle(), nullptr) << GetLastError();
    create = devil_.Get<decltype(&orbImageCreate)>("orbImageCreate");
    destroy = devil_.Get<decltype(&orbImageDestroy)>("orbImageDestroy");
    pixels = devil_.Get<decltype(&orbImagePixels)>("orbImagePixels");
    fill = devil_.Get<decltype(&orbImageFill)>("orbImageFill");
    compose = ilu_.Get<decltype(&orbStripCompose)>("orbStripCompose");
    scale = ilu_.Get<decltype(&orbImageScaleInto)>("orbImageScaleInto");
    capture = ilut_.Get<decltype(&orbBlitCaptureWindow)>("orbBlitCaptureWindow");
    layout = fold_.Get<decltype(&orbFoldLayout)>("orbFoldLayout");
    column = fold_.Get<decltype(&orbFoldColumn)>("orbFoldColumn");
    for (void* f : {reinterpret_cast<void*>(create), reinterpret_cast<void*>(destroy), reinterpret_cast<void*>(pixels),
                    reinterpret_cast<void*>(fill), reinterpret_cast<void*>(compose), reinterpret_cast<void*>(scale),
                    reinterpret_cast<void*>(capture), reinterpret_cast<void*>(layout), reinterpret_cast<void*>(column)})
      ASSERT_NE(f, nullptr);
  }

  RendererLibrary devil_{L"DevIL.dll"};
  RendererLibrary ilu_{L"ILU.dll"};
  RendererLibrary ilut_{L"ILUT.dll"};
  RendererLibrary fold_{L"d3dx9_35.dll"};
  decltype(&orbImageCreate) create = nullptr;
  decltype(&orbImageDestroy) destroy = nullptr;
  decltype(&orbImagePixels) pixels = nullptr;
  decltype(&orbImageFill) fill = nullptr;
  decltype(&orbStripCompose) compose = nullptr;
  decltype(&orbImageScaleInto) scale = nullptr;
  decltype(&orbBlitCaptureWindow) capture = nullptr;
  decltype(&orbFoldLayout) layout = nullptr;
  decltype(&orbFoldColumn) column = nullptr;
};

TEST_F(SupportingLibraries, PicturesRefuseUnusableSizes) {
  for (auto size : {std::pair{0, 10}, std::pair{10, 0}, std::pair{-1, 5}, std::pair{ORB_IMAGE_MAX_SIDE + 1, 1},
                    std::pair{1, 0x7FFFFFFF}}) {
    EXPECT_EQ(create(size.first, size.second), nullptr) << size.first << "x" << size.second;
  }
  OrbImage* image = create(3, 2);
  ASSERT_NE(image, nullptr);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(pixels(image)[i], 0u);
  destroy(image);
  destroy(nullptr);
}

TEST_F(SupportingLibraries, StripsAreShadedTintedAndClipped) {
  OrbImage* src = create(4, 3);
  OrbImage* dst = create(5, 2);
  ASSERT_TRUE(src && dst);
  for (int i = 0; i < 12; ++i) pixels(src)[i] = 0xFF000000u | static_cast<uint32_t>(i * 16) << 16 | 0x00C8u;
  struct Case {
    const char* name;
    int dstX, srcX, width;
    float shade, wash;
    // Expected pixel of row 1 in each destination column; 0x12345678 means
    // untouched.
    uint32_t row1[5];
  };
  const uint32_t k = 0x12345678u;
  const Case cases[] = {
      {"plain copy", 1, 0, 2, 1.0f, 0.0f, {k, 0xFF4000C8u, 0xFF5000C8u, k, k}},
      {"half shade", 0, 2, 1, 0.5f, 0.0f, {0xFF300064u, k, k, k, k}},
      {"all paper", 4, 3, 1, 1.0f, 1.0f, {k, k, k, k, ORB_PAPER_COLOR}},
      {"clipped at both left edges", -1, -1, 4, 1.0f, 0.0f, {0xFF4000C8u, 0xFF5000C8u, 0xFF6000C8u, k, k}},
      {"clipped by the source's left edge", 0, -2, 3, 1.0f, 0.0f, {k, k, 0xFF4000C8u, k, k}},
      {"clipped at the right edges", 3, 2, 9, 1.0f, 0.0f, {k, k, k, 0xFF6000C8u, 0xFF7000C8u}},
      {"entirely outside", 5, 0, 3, 1.0f, 0.0f, {k, k, k, k, k}},
      {"negative width", 0, 0, -3, 1.0f, 0.0f, {k, k, k, k, k}},
      {"far positions", 0x7FFFFFF0, -0x7FFFFFF0, 0x7FFFFFFF, 1.0f, 0.0f, {k, k, k, k, k}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fill(dst, k);
    compose(dst, c.dstX, src, c.srcX, c.width, c.shade, c.wash);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(pixels(dst)[5 + x], c.row1[x]) << x;
  }
  compose(nullptr, 0, src, 0, 1, 1.0f, 0.0f);
  compose(dst, 0, nullptr, 0, 1, 1.0f, 0.0f);
  destroy(src);
  destroy(dst);
}

TEST_F(SupportingLibraries, ScalingKeepsTheColour) {
  OrbImage* small = create(2, 2);
  OrbImage* large = create(7, 5);
  ASSERT_TRUE(small && large);
  fill(small, 0xFF2080C0u);
  EXPECT_EQ(scale(large, small), 1);
  for (int i = 0; i < 35; ++i) ASSERT_TRUE(Near(pixels(large)[i] & 0xFFFFFF, 0x2080C0)) << i;
  EXPECT_EQ(pixels(large)[34] >> 24, 0xFFu);
  EXPECT_EQ(scale(nullptr, small), 0);
  destroy(small);
  destroy(large);
}

TEST_F(SupportingLibraries, NoPictureOfAMissingWindow) {
  EXPECT_EQ(capture(nullptr, 0, 0), nullptr);
  EXPECT_EQ(capture(reinterpret_cast<HWND>(static_cast<uintptr_t>(0xDEAD0)), 0, 0), nullptr);
  HWND empty = MakeColourWindow(0xFF0000, 10, 10, 0, 0);
  if (empty) {
    EXPECT_EQ(capture(empty, 0, 0), nullptr);
    DestroyWindow(empty);
  }
}

TEST_F(SupportingLibraries, PictureOfAWindowOffTheScreen) {
  HWND window = MakeColourWindow(0x3060A0, 3000, 0, 40, 30);
  if (!window) GTEST_SKIP() << "no display to create windows on";
  OrbImage* natural = capture(window, 0, 0);
  OrbImage* fitted = capture(window, 20, 60);
  DestroyWindow(window);
  ASSERT_NE(natural, nullptr);
  ASSERT_NE(fitted, nullptr);
  auto width = devil_.Get<decltype(&orbImageWidth)>("orbImageWidth");
  auto height = devil_.Get<decltype(&orbImageHeight)>("orbImageHeight");
  EXPECT_EQ(width(natural), 40);
  EXPECT_EQ(height(natural), 30);
  EXPECT_EQ(width(fitted), 20);
  EXPECT_EQ(height(fitted), 60);
  EXPECT_TRUE(Near(pixels(natural)[15 * 40 + 20] & 0xFFFFFF, 0x3060A0));
  EXPECT_EQ(pixels(natural)[0] >> 24, 0xFFu);
  EXPECT_TRUE(Near(pixels(fitted)[30 * 20 + 10] & 0xFFFFFF, 0x3060A0));
  destroy(natural);
  destroy(fitted);
}

TEST_F(SupportingLibraries, GeometryMatchesThePortableBuild) {
  // The library and the static library the native tests use are one source;
  // a half-turned sheet shows every layer in both.
  OrbFoldLayout fromLibrary, local;
  layout(0.4f, 300, 1, &fromLibrary);
  orbFoldLayout(0.4f, 300, 1, &local);
  EXPECT_FLOAT_EQ(fromLibrary.foldX, local.foldX);
  EXPECT_FLOAT_EQ(fromLibrary.radius, local.radius);
  for (int x = 0; x < 300; ++x) {
    OrbFoldColumn a, b;
    column(&fromLibrary, x, &a);
    orbFoldColumn(&local, x, &b);
    ASSERT_EQ(a.layer, b.layer) << x;
    ASSERT_EQ(a.source, b.source) << x;
  }
}

#endif
