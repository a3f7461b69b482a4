// Arbitrary bytes as a library file in the system folder: the version reader
// must answer without reading outside the buffer, looping or allocating
// without bound, whatever the headers, section table, resource tree and
// version blocks claim.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "renderer/version_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so that a read one byte too far is reported.
  std::vector<uint8_t> bytes(data, data + size);
  const uint8_t* at = bytes.empty() ? nullptr : bytes.data();
  auto company = zor::ReadVersionString(at, bytes.size(), L"CompanyName");
  auto product = zor::ReadVersionString(at, bytes.size(), L"productname");
  const bool ours = zor::IsOurRendererLibrary(at, bytes.size());
  // The two answers must agree with each other.
  if (ours && (!company || !product)) __builtin_trap();
  return 0;
}
