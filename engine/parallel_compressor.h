// CParallelCompressor: compresses the builder's source files on worker
// threads ahead of the builder, which writes them out strictly in order.
//
// Every stream is produced by the same read / deflate / write loop the
// builder runs on its own (same 40,960-byte reads of the source, same zlib
// calls), so a package built in parallel has exactly the bytes of one built
// file by file, and the builder replays the same progress reports in the
// same order. The workers only compress: every file is opened, read,
// written and removed on the builder's thread, so the host never sees two
// threads at once. Memory stays bounded whatever the file sizes: each file
// has a few input chunks queued, and compressed output of files the builder
// has not reached yet moves to a spill file once the held output passes a
// budget.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/zip.h"
#include "platform/host.h"

namespace zor {

class CParallelCompressor {
 public:
  struct Limits {
    int workers = 0;                         // 0: one per processor
    int lookahead = 0;                       // files started ahead; 0: 8 per worker, at most 64
    int queuedChunks = 4;                    // source chunks read ahead per file
    size_t heldBytes = size_t{16} << 20;     // compressed output held in memory
  };

  // What became of one file.
  struct Outcome {
    bool opened = false;      // false: see openError (nothing was written)
    long openError = 0;
    bool readFailed = false;  // the source failed part-way
    long readError = 0;       // the system's error for that, when it told one
    bool writeFailed = false; // the output refused bytes
    int32_t streamLength = 0; // bytes written for the stream
  };

  explicit CParallelCompressor(const Limits& limits);
  ~CParallelCompressor();
  CParallelCompressor(const CParallelCompressor&) = delete;
  CParallelCompressor& operator=(const CParallelCompressor&) = delete;

  // Registers the next source in the order the builder will ask for them;
  // `key` identifies the caller's item. Call before Start.
  void Add(const void* key, const std::wstring& sourcePath);
  void Start();

  // True when the next file to write is `key` with `sourcePath`.
  bool IsNext(const void* key, const std::wstring& sourcePath) const;

  // Opens the next file if that has not happened yet and reports whether it
  // opened (and its system error when it did not).
  bool OpenNext(long* error);

  // Writes the next file's stream to `out`, calling `step` with the
  // percentage wherever the file-by-file loop reports progress, and moves
  // on to the following file.
  Outcome WriteNext(File* out, const std::function<void(int32_t)>& step);

  // Skips the next file without writing it.
  void SkipNext();

  // Compressed bytes that went through spill files so far.
  uint64_t SpilledBytes() const { return spilled_; }

 private:
  struct Chunk {
    std::vector<uint8_t> bytes;
    int64_t result = 0;  // what the source's Read returned
  };
  struct Event {
    std::vector<uint8_t> bytes;
    int32_t size = 0;
    int32_t percent = 0;
    bool step = false;
    bool spilled = false;  // the bytes are in the job's spill file
    bool counted = false;  // the bytes count against the held budget
  };
  struct Job {
    const void* key = nullptr;
    std::wstring path;
    // Builder thread only.
    std::unique_ptr<File> source;
    bool started = false;
    bool readDone = false;
    long openError = 0;
    long readError = 0;  // set on the builder's thread, where reads happen
    int32_t total = 0;
    std::deque<Event> replay;
    std::unique_ptr<File> spill;
    std::wstring spillPath;
    bool spilling = false;
    // Shared, under the mutex.
    bool opened = false;
    std::deque<Chunk> input;
    std::deque<Event> output;
    bool busy = false;
    bool finished = false;
    bool failed = false;
    // Worker holding the job only.
    std::unique_ptr<CMyZip> zip;
    bool finishing = false;
  };

  void Worker();
  // One turn of the compression loop for `job` (or its whole finishing
  // loop); publishes what it produced.
  void Step(Job& job, Chunk* chunk);
  bool Ready(const Job& job) const;
  // Starts files within the lookahead, tops up their input and collects
  // their output; true when anything happened.
  bool Pump();
  void StartJob(size_t index);
  void Release(Job& job);
  void Advance();

  Limits limits_;
  std::vector<std::unique_ptr<Job>> jobs_;
  size_t next_ = 0;
  size_t held_ = 0;
  uint64_t spilled_ = 0;
  std::vector<std::thread> threads_;
  std::vector<std::unique_ptr<CMyZip>> spareZips_;  // under the mutex
  mutable std::mutex mutex_;
  std::condition_variable workCv_;
  std::condition_variable doneCv_;
  uint64_t progress_ = 0;
  bool stop_ = false;
};

}  // namespace zor
