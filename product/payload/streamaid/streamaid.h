// StreamAid.dll: small stream helpers of the product, loaded at run time.
#pragma once

#include <windows.h>

extern "C" {
// Version as (major << 16) | (minor << 8) | patch.
typedef DWORD(WINAPI* StreamAidGetVersionFn)();
// CRC-32 (the zlib/PNG polynomial) of `size` bytes, continuing from
// `previous` (0 to start).
typedef DWORD(WINAPI* StreamAidCrc32Fn)(DWORD previous, const void* data, DWORD size);
}
