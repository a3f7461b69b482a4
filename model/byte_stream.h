// Byte streams under an archive: memory or an open file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zor {
class File;
}

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // Bytes read (fewer only at the end), or -1 on error.
  virtual int64_t Read(void* buffer, size_t size) = 0;
  // True when every byte was written.
  virtual bool Write(const void* buffer, size_t size) = 0;
  // Bytes left to read, so a loader can refuse a length before allocating.
  virtual uint64_t Remaining() const = 0;
};

// Reads from a block it does not own, or writes into a vector it owns.
class MemoryStream : public ByteStream {
 public:
  MemoryStream() = default;  // for storing
  MemoryStream(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  int64_t Read(void* buffer, size_t size) override;
  bool Write(const void* buffer, size_t size) override;
  uint64_t Remaining() const override { return size_ - pos_; }
  const std::vector<uint8_t>& Bytes() const { return out_; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t pos_ = 0;
  std::vector<uint8_t> out_;
};

// Over an open file of the host, from its current position.
class FileStream : public ByteStream {
 public:
  explicit FileStream(zor::File* file);
  int64_t Read(void* buffer, size_t size) override;
  bool Write(const void* buffer, size_t size) override;
  uint64_t Remaining() const override;

 private:
  zor::File* file_;
  int64_t pos_ = 0;
  int64_t size_ = 0;
};
