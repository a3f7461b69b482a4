// CAbstractZip and CMyZip: one zlib stream at a time between open files.
//
// The callers drive the loop (read, one zlib call, write) so they can report
// progress between chunks; the object only holds the stream and two fixed
// buffers, so files of any size pass through constant memory.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/host.h"

namespace zor {

class CAbstractZip {
 public:
  virtual ~CAbstractZip() = default;
  // Bytes produced so far by the current stream: after a finished
  // compression, the length of the whole zlib stream.
  virtual int32_t GetOutputTotal() = 0;
  // Refills the input buffer from `file` once zlib has taken everything read
  // before. Returns the bytes waiting as input (0 at the end of the file with
  // nothing pending), or -1 when the file cannot be read.
  virtual int32_t CompressRead(File* file) = 0;
  // Writes whatever the last zlib call produced. Returns the bytes written
  // (0 when nothing was pending), or -1 when the file refused them.
  virtual int32_t CompressWrite(File* file) = 0;
  // Starts a compression stream at level 6 (non-zero flag) or an expansion
  // stream (0). Always 0.
  virtual int32_t Begin(int32_t compress) = 0;
  // Ends the stream started by Begin and releases zlib's state. Always 0.
  virtual int32_t End(int32_t compress) = 0;
  // One deflate or inflate call with the given zlib flush mode; zlib's result.
  virtual int32_t Compress(int32_t flush) = 0;
  virtual int32_t Expand(int32_t flush) = 0;
  virtual int32_t ExpandRead(File* file) = 0;
  virtual int32_t ExpandWrite(File* file) = 0;
  // Input consumed by the current stream, in percent of the total.
  virtual int32_t GetPercent() = 0;
  virtual void SetTotal(int32_t total) = 0;
};

class CMyZip : public CAbstractZip {
 public:
  static constexpr int kBufferSize = 40960;
  static constexpr int kLevel = 6;

  CMyZip();
  ~CMyZip() override;
  CMyZip(const CMyZip&) = delete;
  CMyZip& operator=(const CMyZip&) = delete;

  int32_t GetOutputTotal() override;
  int32_t CompressRead(File* file) override;
  int32_t CompressWrite(File* file) override;
  int32_t Begin(int32_t compress) override;
  int32_t End(int32_t compress) override;
  int32_t Compress(int32_t flush) override;
  int32_t Expand(int32_t flush) override;
  int32_t ExpandRead(File* file) override;
  int32_t ExpandWrite(File* file) override;
  int32_t GetPercent() override;
  void SetTotal(int32_t total) override;

  // Bytes the last zlib call produced, not yet written (for callers that
  // keep the output in memory instead of a file).
  const uint8_t* PendingOutput() const { return m_output; }
  int32_t PendingOutputSize() const { return kBufferSize - static_cast<int32_t>(m_stream.avail_out); }
  // Marks the pending output as taken.
  void TakeOutput();
  // Input read but not yet taken by zlib.
  int32_t PendingInputSize() const { return static_cast<int32_t>(m_stream.avail_in); }

 private:
  enum class Mode { kIdle, kCompress, kExpand };

  int32_t Refill(File* file);
  int32_t Drain(File* file);

  // zlib's allocations, kept for the next stream: a build or an extraction
  // starts one stream per file, and handing zlib's quarter megabyte back to
  // the system after every small file made it clear fresh pages for each
  // one: about a fifth of the processor time of a single-threaded build of
  // many small files. At most one stream's worth is kept, and only until
  // the object goes.
  static voidpf Allocate(voidpf self, uInt items, uInt size);
  static void Release(voidpf self, voidpf block);
  struct Block {
    void* address;
    size_t size;
  };
  std::vector<Block> m_live;
  std::vector<Block> m_spare;

  uint8_t m_input[kBufferSize];
  uint8_t m_output[kBufferSize];
  int32_t m_nTotal = 0;
  z_stream m_stream;
  // Which zlib state the stream holds: calling deflate on an inflate state
  // (or either after End) must be refused rather than reach zlib.
  Mode m_mode = Mode::kIdle;
};

// Percent of `total` that `done` is, the way the progress bar expects it: 100
// for a zero total, and no multiplication by 100 above 10,000,000 so the
// figure stays exact where it matters and never overflows.
int32_t PercentOf(uint64_t done, int32_t total);

}  // namespace zor
