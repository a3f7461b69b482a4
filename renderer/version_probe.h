// Reads the version resource of a Windows program or library from its bytes,
// without loading it: it tells our renderer libraries from a file of the same
// name of another product's.
//
// Any bytes are safe input: every read is bounds-checked, and a damaged or
// foreign file only means "no such value".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zor {

// The identity every library of our renderer carries in its version
// resource (the resource scripts under renderer/ spell the same texts).
extern const wchar_t kRendererCompanyName[];  // "Tarvex"
extern const wchar_t kRendererProductName[];  // "Tarvex Orbiscene runtime"

// The value of `key` (for example L"CompanyName") in the string tables of the
// first version resource of the PE image `data`. Keys compare without regard
// to ASCII case, as the system's version API does; when several string tables
// (languages) hold the key, the first one wins. nullopt when the bytes are not
// a PE image, have no version resource, or the resource lacks the key.
std::optional<std::wstring> ReadVersionString(const uint8_t* data, size_t size, std::wstring_view key);
inline std::optional<std::wstring> ReadVersionString(std::string_view bytes, std::wstring_view key) {
  return ReadVersionString(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), key);
}

// True when the image's version resource names our company and the renderer
// runtime as its product.
bool IsOurRendererLibrary(const uint8_t* data, size_t size);
inline bool IsOurRendererLibrary(std::string_view bytes) {
  return IsOurRendererLibrary(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace zor
