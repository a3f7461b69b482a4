// The pictures every language module carries are 8-bit palettized DIBs (they
// are most of a module's size). Both ways the setup loads them, a DIB section
// for the stretched header and splash and a device bitmap for the pictures in
// static controls, must give back exactly the colours the resource holds.
#if defined(_WIN32) && defined(ZOR_LANGUAGE_MODULE_DIR)

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/wstr.h"
#include "tests/unit/resources/language_rows.h"

using namespace zortest;

namespace {

struct Picture {
  int id;
  int width, height;
};
constexpr Picture kPictures[] = {{130, 570, 58}, {131, 128, 128}, {150, 8, 306}, {158, 576, 445}};

// Pixels as 0x00RRGGBB, rows top to bottom.
using Pixels = std::vector<unsigned>;

// Decodes the resource itself: an 8-bit bottom-up DIB with its palette.
bool DecodeResource(HMODULE module, int id, int& width, int& height, Pixels& out) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2));  // RT_BITMAP
  if (!found) return false;
  DWORD size = SizeofResource(module, found);
  auto data = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
  if (!data || size < sizeof(BITMAPINFOHEADER)) return false;
  BITMAPINFOHEADER head;
  memcpy(&head, data, sizeof head);
  EXPECT_EQ(head.biBitCount, 8) << id;
  EXPECT_EQ(head.biCompression, static_cast<DWORD>(BI_RGB)) << id;
  if (head.biBitCount != 8 || head.biHeight <= 0 || head.biWidth <= 0) return false;
  DWORD colours = head.biClrUsed ? head.biClrUsed : 256;
  width = head.biWidth;
  height = head.biHeight;
  DWORD stride = (static_cast<DWORD>(width) + 3) & ~3u;
  DWORD bits = head.biSize + 4 * colours;
  if (colours > 256 || size < bits + stride * static_cast<DWORD>(height)) return false;
  const unsigned char* palette = data + head.biSize;
  out.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    const unsigned char* line = data + bits + stride * static_cast<DWORD>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      if (line[x] >= colours) return false;
      const unsigned char* c = palette + 4 * line[x];
      out[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
          (unsigned{c[2]} << 16) | (unsigned{c[1]} << 8) | c[0];
    }
  }
  return true;
}

// Reads any bitmap back as 32-bit top-down pixels.
Pixels ReadBack(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  Pixels pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  HDC screen = GetDC(nullptr);
  int lines = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(lines, height);
  for (unsigned& p : pixels) p &= 0xFFFFFFu;
  return pixels;
}

size_t Mismatches(const Pixels& a, const Pixels& b) {
  if (a.size() != b.size()) return a.size() + b.size();
  size_t n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

}  // namespace

TEST(ModulePictures, LoadAsDibSectionAndDeviceBitmapWithTheirOwnColours) {
  for (const LanguageRow& row : kLanguageRows) {
    SCOPED_TRACE(row.source);
    std::wstring path = zor::FromUtf8(ZOR_LANGUAGE_MODULE_DIR) + L"\\" + row.module;
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << GetLastError();
    for (const Picture& picture : kPictures) {
      SCOPED_TRACE(picture.id);
      int width = 0, height = 0;
      Pixels expected;
      ASSERT_TRUE(DecodeResource(module, picture.id, width, height, expected));
      EXPECT_EQ(width, picture.width);
      EXPECT_EQ(height, picture.height);

      auto section = static_cast<HBITMAP>(
          LoadImageW(module, MAKEINTRESOURCEW(picture.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
      ASSERT_NE(section, nullptr);
      DIBSECTION dib{};
      ASSERT_EQ(GetObjectW(section, sizeof dib, &dib), static_cast<int>(sizeof dib));
      EXPECT_EQ(dib.dsBm.bmBitsPixel, 8);
      EXPECT_EQ(Mismatches(ReadBack(section, width, height), expected), 0u);
      DeleteObject(section);

      HBITMAP device = LoadBitmapW(module, MAKEINTRESOURCEW(picture.id));
      ASSERT_NE(device, nullptr);
      EXPECT_EQ(Mismatches(ReadBack(device, width, height), expected), 0u);
      DeleteObject(device);
    }
    FreeLibrary(module);
  }
}

#endif  // _WIN32 && ZOR_LANGUAGE_MODULE_DIR
