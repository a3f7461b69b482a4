#include "renderer/devil/orb_image.h"

struct OrbImage {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ previous;
  uint32_t* pixels;
  int width;
  int height;
};

extern "C" {

int orbImageApiLevel(void) { return ORB_IMAGE_API_LEVEL; }

OrbImage* orbImageCreate(int width, int height) {
  if (width < 1 || height < 1 || width > ORB_IMAGE_MAX_SIDE || height > ORB_IMAGE_MAX_SIDE) return nullptr;
  OrbImage* image = static_cast<OrbImage*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(OrbImage)));
  if (!image) return nullptr;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  image->dc = CreateCompatibleDC(nullptr);
  image->bitmap = image->dc ? CreateDIBSection(image->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  if (!image->bitmap || !bits) {
    orbImageDestroy(image);
    return nullptr;
  }
  image->previous = SelectObject(image->dc, image->bitmap);
  image->pixels = static_cast<uint32_t*>(bits);
  image->width = width;
  image->height = height;
  return image;
}

void orbImageDestroy(OrbImage* image) {
  if (!image) return;
  if (image->dc && image->previous) SelectObject(image->dc, image->previous);
  if (image->bitmap) DeleteObject(image->bitmap);
  if (image->dc) DeleteDC(image->dc);
  HeapFree(GetProcessHeap(), 0, image);
}

int orbImageWidth(const OrbImage* image) { return image ? image->width : 0; }
int orbImageHeight(const OrbImage* image) { return image ? image->height : 0; }
uint32_t* orbImagePixels(OrbImage* image) { return image ? image->pixels : nullptr; }
HDC orbImageDC(OrbImage* image) { return image ? image->dc : nullptr; }

void orbImageMakeOpaque(OrbImage* image) {
  if (!image) return;
  // GDI may still be drawing into the section through its device context.
  GdiFlush();
  const size_t count = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
  for (size_t i = 0; i < count; ++i) image->pixels[i] |= 0xFF000000u;
}

void orbImageFill(OrbImage* image, uint32_t color) {
  if (!image) return;
  GdiFlush();
  const size_t count = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
  for (size_t i = 0; i < count; ++i) image->pixels[i] = color;
}

}  // extern "C"
