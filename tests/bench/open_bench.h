// Opening a huge package: how many bytes the reader takes from the file to
// find the trailer and load the project index.
#pragma once

#include <cstdint>
#include <filesystem>

namespace zorbench {

struct OpenMeasure {
  int32_t result = 0;       // Open's result
  int64_t packageSize = 0;
  int64_t tail = 0;         // bytes after the signature
  int64_t indexBytes = 0;   // packed size of the project index
  int64_t tableBytes = 0;   // file table, count, version and signature
  int64_t bytesRead = 0;    // every byte every read returned
  int64_t distinctBytes = 0;  // bytes of the file read at least once
  int64_t reads = 0;
  int groups = 0;           // file groups of the loaded project
  double seconds = 0;
};

// Writes a sparse package of `size` bytes at `path` whose end is the project
// index and file table of `source` (a built package) followed by `tail`
// bytes of signature-like data, then opens it and counts the reads.
OpenMeasure MeasureOpen(const std::filesystem::path& source, const std::filesystem::path& path, int64_t size,
                        int64_t tail);

}  // namespace zorbench
