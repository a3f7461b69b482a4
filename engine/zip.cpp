#include "engine/zip.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace zor {

int32_t PercentOf(uint64_t done, int32_t total) {
  if (total <= 0) return 100;
  uint64_t t = static_cast<uint64_t>(total);
  uint64_t p = t <= 10000000u ? done * 100u / t : done / (t / 100u);
  return p > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                       : static_cast<int32_t>(p);
}

CMyZip::CMyZip() {
  std::memset(m_input, 0, sizeof m_input);
  std::memset(m_output, 0, sizeof m_output);
  std::memset(&m_stream, 0, sizeof m_stream);
  // Room for every block a stream holds, so handing one back never
  // allocates.
  m_live.reserve(16);
  m_spare.reserve(8);
}

CMyZip::~CMyZip() {
  if (m_mode == Mode::kCompress) End(1);
  if (m_mode == Mode::kExpand) End(0);
  for (const Block& b : m_live) std::free(b.address);
  for (const Block& b : m_spare) std::free(b.address);
}

voidpf CMyZip::Allocate(voidpf self, uInt items, uInt size) {
  auto* zip = static_cast<CMyZip*>(self);
  if (size != 0 && items > std::numeric_limits<size_t>::max() / size) return Z_NULL;
  size_t bytes = static_cast<size_t>(items) * size;
  void* address = nullptr;
  for (size_t i = 0; i < zip->m_spare.size(); ++i)
    if (zip->m_spare[i].size == bytes) {
      address = zip->m_spare[i].address;
      zip->m_spare.erase(zip->m_spare.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  if (!address) address = std::malloc(bytes == 0 ? 1 : bytes);
  if (!address) return Z_NULL;
  try {
    zip->m_live.push_back({address, bytes});
  } catch (...) {
    std::free(address);
    return Z_NULL;
  }
  return address;
}

void CMyZip::Release(voidpf self, voidpf block) {
  auto* zip = static_cast<CMyZip*>(self);
  for (size_t i = 0; i < zip->m_live.size(); ++i) {
    if (zip->m_live[i].address != block) continue;
    Block b = zip->m_live[i];
    zip->m_live.erase(zip->m_live.begin() + static_cast<std::ptrdiff_t>(i));
    // zlib makes five blocks per deflate stream and two per inflate stream;
    // anything past that is not worth keeping.
    if (zip->m_spare.size() < 8) {
      zip->m_spare.push_back(b);  // capacity is reserved in the constructor
    } else {
      std::free(b.address);
    }
    return;
  }
}

int32_t CMyZip::GetOutputTotal() {
  return m_stream.total_out > static_cast<uLong>(std::numeric_limits<int32_t>::max())
             ? std::numeric_limits<int32_t>::max()
             : static_cast<int32_t>(m_stream.total_out);
}

int32_t CMyZip::Refill(File* file) {
  if (m_stream.avail_in == 0) {
    m_stream.next_in = m_input;
    int64_t n = file ? file->Read(m_input, kBufferSize) : -1;
    if (n < 0) return -1;
    m_stream.avail_in = static_cast<uInt>(n);
  }
  return static_cast<int32_t>(m_stream.avail_in);
}

int32_t CMyZip::Drain(File* file) {
  int32_t pending = PendingOutputSize();
  if (pending <= 0) return 0;
  if (!file || file->Write(m_output, static_cast<size_t>(pending)) != pending) return -1;
  TakeOutput();
  return pending;
}

void CMyZip::TakeOutput() {
  m_stream.next_out = m_output;
  m_stream.avail_out = kBufferSize;
}

int32_t CMyZip::CompressRead(File* file) { return Refill(file); }
int32_t CMyZip::CompressWrite(File* file) { return Drain(file); }
int32_t CMyZip::ExpandRead(File* file) { return Refill(file); }
int32_t CMyZip::ExpandWrite(File* file) { return Drain(file); }

int32_t CMyZip::Begin(int32_t compress) {
  // A stream left open by a caller that bailed out is closed first, so its
  // state is never leaked or mixed into the new one.
  if (m_mode == Mode::kCompress) deflateEnd(&m_stream);
  if (m_mode == Mode::kExpand) inflateEnd(&m_stream);
  m_mode = Mode::kIdle;
  m_stream.next_in = m_input;
  m_stream.avail_in = 0;
  m_stream.next_out = m_output;
  m_stream.avail_out = kBufferSize;
  m_stream.zalloc = &CMyZip::Allocate;
  m_stream.zfree = &CMyZip::Release;
  m_stream.opaque = this;
  if (compress) {
    if (deflateInit(&m_stream, kLevel) == Z_OK) m_mode = Mode::kCompress;
  } else {
    if (inflateInit(&m_stream) == Z_OK) m_mode = Mode::kExpand;
  }
  return 0;
}

int32_t CMyZip::End(int32_t compress) {
  if (compress && m_mode == Mode::kCompress) {
    deflateEnd(&m_stream);
    m_mode = Mode::kIdle;
  } else if (!compress && m_mode == Mode::kExpand) {
    inflateEnd(&m_stream);
    m_mode = Mode::kIdle;
  }
  return 0;
}

int32_t CMyZip::Compress(int32_t flush) {
  if (m_mode != Mode::kCompress) return Z_STREAM_ERROR;
  return deflate(&m_stream, flush);
}

int32_t CMyZip::Expand(int32_t flush) {
  if (m_mode != Mode::kExpand) return Z_STREAM_ERROR;
  return inflate(&m_stream, flush);
}

int32_t CMyZip::GetPercent() { return PercentOf(m_stream.total_in, m_nTotal); }

void CMyZip::SetTotal(int32_t total) { m_nTotal = total; }

}  // namespace zor
