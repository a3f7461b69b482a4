// Small fixtures for the engine tests: an in-memory file that records how it
// is read, and a scratch folder on the real file system.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

#include "platform/host.h"

namespace zortest {

// A file of `size` bytes whose last `tail.size()` bytes are `tail` and whose
// other bytes are `fill`: large packages cost no memory. Every read is
// recorded, and a read that would start outside the file is counted as a
// fault rather than answered.
class SparseFile : public zor::File {
 public:
  SparseFile(int64_t size, std::string tail, uint8_t fill = 0)
      : size_(size), tail_(std::move(tail)), fill_(fill) {}
  explicit SparseFile(const std::string& bytes) : SparseFile(static_cast<int64_t>(bytes.size()), bytes) {}

  int64_t Read(void* buffer, size_t size) override {
    if (pos_ < 0 || pos_ > size_) {
      ++faults;
      return -1;
    }
    size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(size), size_ - pos_));
    auto* out = static_cast<uint8_t*>(buffer);
    int64_t tailStart = size_ - static_cast<int64_t>(tail_.size());
    for (size_t i = 0; i < n; ++i) {
      int64_t at = pos_ + static_cast<int64_t>(i);
      out[i] = at >= tailStart ? static_cast<uint8_t>(tail_[static_cast<size_t>(at - tailStart)]) : fill_;
    }
    lowestRead = std::min(lowestRead, pos_);
    pos_ += static_cast<int64_t>(n);
    bytesRead += static_cast<int64_t>(n);
    return static_cast<int64_t>(n);
  }
  int64_t Write(const void*, size_t) override { return -1; }
  int64_t Seek(int64_t offset, zor::SeekFrom from) override {
    int64_t base = from == zor::SeekFrom::kBegin ? 0 : from == zor::SeekFrom::kCurrent ? pos_ : size_;
    if (base + offset < 0) {
      ++faults;
      return -1;
    }
    pos_ = base + offset;
    return pos_;
  }
  int64_t Size() override { return size_; }
  bool Flush() override { return true; }

  int64_t bytesRead = 0;
  int64_t lowestRead = INT64_MAX;
  int faults = 0;

 private:
  int64_t size_;
  std::string tail_;
  uint8_t fill_;
  int64_t pos_ = 0;
};

// Collects what is written, and remembers the size of every write.
class SinkFile : public zor::File {
 public:
  int64_t Read(void*, size_t) override { return -1; }
  int64_t Write(const void* buffer, size_t size) override {
    if (failAfter >= 0 && static_cast<int64_t>(bytes.size() + size) > failAfter) return -1;
    bytes.append(static_cast<const char*>(buffer), size);
    writes.push_back(size);
    return static_cast<int64_t>(size);
  }
  int64_t Seek(int64_t offset, zor::SeekFrom) override { return offset; }
  int64_t Size() override { return static_cast<int64_t>(bytes.size()); }
  bool Flush() override { return true; }

  std::string bytes;
  std::vector<size_t> writes;
  int64_t failAfter = -1;  // writes that would pass this many bytes fail
};

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test. Paths end in a separator.
class ScratchDir {
 public:
  ScratchDir() {
    static std::atomic<int> serial{0};
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("zor_engine_test_" + std::to_string(rd()) + "_" + std::to_string(serial++));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The folder, ending in a separator, in the form the engine takes.
  std::wstring Folder() const { return (path_ / "").wstring(); }
  std::wstring Path(const std::wstring& relative) const {
    std::wstring r = relative;
    for (wchar_t& c : r)
      if (c == L'\\') c = static_cast<wchar_t>(std::filesystem::path::preferred_separator);
    return (path_ / r).wstring();
  }
  const std::filesystem::path& Fs() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadAll(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::wstring& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline bool Exists(const std::wstring& path) { return std::filesystem::exists(std::filesystem::path(path)); }

// Bytes that compress a little, like real program files, from a fixed seed.
inline std::string SampleBytes(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string out(size, '\0');
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<char>(rng() % 16 == 0 ? rng() : 'a' + (i / 7) % 13);
  return out;
}

inline std::string Hex(const std::string& bytes) {
  static const char* d = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += d[c >> 4];
    out += d[c & 15];
  }
  return out;
}

// One zlib stream of `data` at level 6, as zlib itself makes it.
inline std::string Zlib(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(data.data()),
                      static_cast<uLong>(data.size()), 6),
            Z_OK);
  out.resize(size);
  return out;
}

}  // namespace zortest
