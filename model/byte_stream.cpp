#include "model/byte_stream.h"

#include <cstring>

#include "platform/host.h"

int64_t MemoryStream::Read(void* buffer, size_t size) {
  size_t n = size < size_ - pos_ ? size : size_ - pos_;
  if (n) std::memcpy(buffer, data_ + pos_, n);
  pos_ += n;
  return static_cast<int64_t>(n);
}

bool MemoryStream::Write(const void* buffer, size_t size) {
  const auto* p = static_cast<const uint8_t*>(buffer);
  out_.insert(out_.end(), p, p + size);
  return true;
}

FileStream::FileStream(zor::File* file) : file_(file) {
  pos_ = file_->Seek(0, zor::SeekFrom::kCurrent);
  size_ = file_->Size();
  if (pos_ < 0) pos_ = 0;
  if (size_ < pos_) size_ = pos_;
}

int64_t FileStream::Read(void* buffer, size_t size) {
  int64_t total = 0;
  auto* p = static_cast<uint8_t*>(buffer);
  while (static_cast<size_t>(total) < size) {
    int64_t n = file_->Read(p + total, size - static_cast<size_t>(total));
    if (n < 0) return total ? total : -1;
    if (n == 0) break;
    total += n;
  }
  pos_ += total;
  return total;
}

bool FileStream::Write(const void* buffer, size_t size) {
  if (file_->Write(buffer, size) != static_cast<int64_t>(size)) return false;
  pos_ += static_cast<int64_t>(size);
  if (pos_ > size_) size_ = pos_;
  return true;
}

uint64_t FileStream::Remaining() const { return static_cast<uint64_t>(size_ - pos_); }
