#include "payload/streamaid/streamaid.h"

#include "product_version.h"

namespace {

struct Crc32Table {
  DWORD entries[256];
  Crc32Table() {
    for (DWORD n = 0; n < 256; ++n) {
      DWORD c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[n] = c;
    }
  }
};

const Crc32Table kTable;

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}

DWORD WINAPI StreamAidGetVersion() {
  return (LUMA_VERSION_MAJOR << 16) | (LUMA_VERSION_MINOR << 8) | LUMA_VERSION_PATCH;
}

DWORD WINAPI StreamAidCrc32(DWORD previous, const void* data, DWORD size) {
  if (data == nullptr) return previous;
  const BYTE* bytes = static_cast<const BYTE*>(data);
  DWORD c = previous ^ 0xFFFFFFFFu;
  for (DWORD i = 0; i < size; ++i) c = kTable.entries[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

}  // extern "C"
