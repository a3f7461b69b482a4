// What opening a package costs in memory and temporary disk, and the
// hostile packages that try to make it cost more: about 1 MB whose project
// index expands to 1 GiB.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace zorbench {

struct OpenCost {
  int32_t result = 0;     // Open's result
  long peakKb = -1;       // the process's peak resident set after Open
  int64_t written = 0;    // bytes written to any file while opening
  int64_t tempLeft = 0;   // files left in the temporary folder
  int groups = 0;         // file groups of the loaded project
  double seconds = 0;
};

// Opens `package` in this process with `temp` as the temporary folder
// (made empty first), counting every byte written to any file.
OpenCost MeasureOpenCost(const std::filesystem::path& package, const std::filesystem::path& temp);

// The lines a child prints for MeasureOpenCost, and their reading.
std::string FormatOpenCost(const OpenCost& cost);
OpenCost ParseOpenCost(const std::filesystem::path& output);

// A package of about 1 MB whose index stream expands to 1 GiB (a string
// claiming nearly all of it), its entry recording `recorded` bytes. The
// stream is made once and kept beside `path` for later runs.
void WriteIndexBomb(const std::filesystem::path& path, int32_t recorded);

}  // namespace zorbench
