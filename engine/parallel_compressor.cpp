#include "engine/parallel_compressor.h"

#include <algorithm>

#include "engine/paths.h"

namespace zor {
namespace {

// Hands one chunk the builder's thread read to the zip's read call, so the
// worker runs the very loop the builder runs on a file.
class ChunkFile : public File {
 public:
  ChunkFile(const std::vector<uint8_t>* bytes, int64_t result) : bytes_(bytes), result_(result) {}
  int64_t Read(void* buffer, size_t size) override {
    if (result_ <= 0 || !bytes_) return result_;
    size_t n = std::min(size, bytes_->size());
    std::copy(bytes_->begin(), bytes_->begin() + static_cast<std::ptrdiff_t>(n), static_cast<uint8_t*>(buffer));
    return static_cast<int64_t>(n);
  }
  int64_t Write(const void*, size_t) override { return -1; }
  int64_t Seek(int64_t, SeekFrom) override { return -1; }
  int64_t Size() override { return -1; }
  bool Flush() override { return true; }

 private:
  const std::vector<uint8_t>* bytes_;
  int64_t result_;
};

}  // namespace

CParallelCompressor::CParallelCompressor(const Limits& limits) : limits_(limits) {
  if (limits_.workers <= 0) limits_.workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  if (limits_.lookahead <= 0) limits_.lookahead = std::min(64, 8 * limits_.workers);
  if (limits_.queuedChunks <= 0) limits_.queuedChunks = 1;
}

CParallelCompressor::~CParallelCompressor() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  workCv_.notify_all();
  for (std::thread& t : threads_) t.join();
  for (auto& job : jobs_) Release(*job);
}

void CParallelCompressor::Add(const void* key, const std::wstring& sourcePath) {
  auto job = std::make_unique<Job>();
  job->key = key;
  job->path = sourcePath;
  jobs_.push_back(std::move(job));
}

void CParallelCompressor::Start() {
  if (jobs_.empty() || !threads_.empty()) return;
  int n = std::min<int>(limits_.workers, static_cast<int>(jobs_.size()));
  for (int i = 0; i < n; ++i) threads_.emplace_back(&CParallelCompressor::Worker, this);
}

bool CParallelCompressor::IsNext(const void* key, const std::wstring& sourcePath) const {
  return next_ < jobs_.size() && jobs_[next_]->key == key && jobs_[next_]->path == sourcePath;
}

bool CParallelCompressor::Ready(const Job& job) const {
  if (!job.opened || job.busy || job.finished) return false;
  return job.finishing || (job.zip && job.zip->PendingInputSize() > 0) || !job.input.empty();
}

void CParallelCompressor::Worker() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    Job* job = nullptr;
    workCv_.wait(lock, [&] {
      if (stop_) return true;
      for (size_t i = next_; i < jobs_.size() && !job; ++i)
        if (Ready(*jobs_[i])) job = jobs_[i].get();
      return job != nullptr;
    });
    if (stop_) return;
    job->busy = true;
    Chunk chunk;
    bool haveChunk = !job->finishing && !(job->zip && job->zip->PendingInputSize() > 0);
    if (haveChunk) {
      chunk = std::move(job->input.front());
      job->input.pop_front();
    }
    lock.unlock();
    Step(*job, haveChunk ? &chunk : nullptr);
    lock.lock();
    job->busy = false;
    ++progress_;
    doneCv_.notify_all();
    workCv_.notify_one();
  }
}

// Runs outside the lock; the job is this worker's until `busy` is cleared.
void CParallelCompressor::Step(Job& job, Chunk* chunk) {
  std::vector<Event> events;
  bool finished = false;
  bool failed = false;
  auto take = [&](bool step) {
    Event e;
    e.size = job.zip->PendingOutputSize();
    e.bytes.assign(job.zip->PendingOutput(), job.zip->PendingOutput() + e.size);
    job.zip->TakeOutput();
    e.step = step;
    e.percent = job.zip->GetPercent();
    events.push_back(std::move(e));
  };
  try {
    if (!job.zip) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!spareZips_.empty()) {
          job.zip = std::move(spareZips_.back());
          spareZips_.pop_back();
        }
      }
      if (!job.zip) job.zip = std::make_unique<CMyZip>();
      job.zip->Begin(1);
      job.zip->SetTotal(job.total);
    }
    if (!job.finishing) {
      ChunkFile source(chunk ? &chunk->bytes : nullptr, chunk ? chunk->result : 0);
      int32_t n = job.zip->CompressRead(&source);
      if (n < 0) {
        failed = true;
        finished = true;
      } else if (n == 0) {
        job.finishing = true;
      } else {
        int r = job.zip->Compress(Z_NO_FLUSH);
        take(r == Z_OK);
        if (r != Z_OK) job.finishing = true;
      }
    }
    if (job.finishing && !finished) {
      int r;
      do {
        r = job.zip->Compress(Z_FINISH);
        take(false);
      } while (r == Z_OK);
      failed = r != Z_STREAM_END;
      finished = true;
    }
  } catch (...) {
    failed = true;
    finished = true;
  }
  if (finished && job.zip) job.zip->End(1);
  std::lock_guard<std::mutex> lock(mutex_);
  // A zip keeps zlib's memory from one stream to the next; handing it on
  // spares every file a fresh quarter megabyte.
  if (finished && job.zip) {
    if (spareZips_.size() < static_cast<size_t>(limits_.workers)) spareZips_.push_back(std::move(job.zip));
    job.zip.reset();
  }
  for (Event& e : events) job.output.push_back(std::move(e));
  if (finished) {
    job.finished = true;
    job.failed = failed;
    job.input.clear();
  }
}

void CParallelCompressor::StartJob(size_t index) {
  Job& job = *jobs_[index];
  job.started = true;
  long error = 0;
  job.source = CurrentHost().OpenFile(job.path, FileAccess::kRead, kShareRead | kShareWrite,
                                      FileCreate::kOpenExisting, &error);
  std::lock_guard<std::mutex> lock(mutex_);
  if (!job.source) {
    job.openError = error ? error : kErrAccessDenied;
    job.finished = true;
    job.readDone = true;
    return;
  }
  int64_t size = job.source->Size();
  job.total = size < 0 ? 0 : size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
  job.opened = true;
}

bool CParallelCompressor::Pump() {
  bool did = false;
  size_t limit = std::min(jobs_.size(), next_ + static_cast<size_t>(limits_.lookahead));
  for (size_t i = next_; i < limit; ++i)
    if (!jobs_[i]->started) {
      StartJob(i);
      did = true;
    }
  // Read ahead, the file being written first.
  for (size_t i = next_; i < limit; ++i) {
    Job& job = *jobs_[i];
    if (job.readDone || !job.source) continue;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (job.finished || job.input.size() >= static_cast<size_t>(limits_.queuedChunks)) continue;
    }
    Chunk c;
    c.bytes.resize(CMyZip::kBufferSize);
    c.result = job.source->Read(c.bytes.data(), c.bytes.size());
    c.bytes.resize(c.result > 0 ? static_cast<size_t>(c.result) : 0);
    if (c.result <= 0) {
      if (c.result < 0) job.readError = job.source->LastError();
      job.readDone = true;
      job.source.reset();
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!job.finished) job.input.push_back(std::move(c));
    }
    workCv_.notify_one();
    did = true;
  }
  // Collect what the workers produced.
  for (size_t i = next_; i < limit; ++i) {
    Job& job = *jobs_[i];
    std::deque<Event> got;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      got.swap(job.output);
    }
    for (Event& e : got) {
      did = true;
      if (i != next_) {
        if (job.spilling || held_ + static_cast<size_t>(e.size) > limits_.heldBytes) {
          if (!job.spill) job.spill = CreateUniqueFile(CurrentHost().TempFolder(), L"Zsp", &job.spillPath);
          // Without a spill file the output stays in memory: slower to
          // bound, but the package is still right.
          if (job.spill && (e.size == 0 || job.spill->Write(e.bytes.data(), e.bytes.size()) == e.size)) {
            job.spilling = true;
            e.spilled = true;
            spilled_ += static_cast<uint64_t>(e.size);
            std::vector<uint8_t>().swap(e.bytes);
          }
        }
        if (!e.spilled) {
          held_ += static_cast<size_t>(e.size);
          e.counted = true;
        }
      }
      job.replay.push_back(std::move(e));
    }
  }
  return did;
}

bool CParallelCompressor::OpenNext(long* error) {
  if (next_ >= jobs_.size()) return false;
  Job& job = *jobs_[next_];
  if (!job.started) StartJob(next_);
  if (error) *error = job.openError;
  return job.opened;
}

CParallelCompressor::Outcome CParallelCompressor::WriteNext(File* out, const std::function<void(int32_t)>& step) {
  Outcome o;
  if (next_ >= jobs_.size()) return o;
  size_t index = next_;
  Job& job = *jobs_[index];
  if (!job.started) StartJob(index);
  o.opened = job.opened;
  o.openError = job.openError;
  bool spillRewound = false;
  std::vector<uint8_t> spillBuffer;
  int64_t written = 0;
  while (o.opened) {
    uint64_t seen;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      seen = progress_;
    }
    bool did = Pump();
    while (!job.replay.empty() && !o.writeFailed) {
      Event e = std::move(job.replay.front());
      job.replay.pop_front();
      did = true;
      const uint8_t* data = e.bytes.data();
      if (e.spilled) {
        if (!spillRewound) spillRewound = job.spill && job.spill->Seek(0, SeekFrom::kBegin) == 0;
        spillBuffer.resize(static_cast<size_t>(e.size));
        int64_t got = 0;
        while (spillRewound && got < e.size) {
          int64_t n = job.spill->Read(spillBuffer.data() + got, static_cast<size_t>(e.size - got));
          if (n <= 0) break;
          got += n;
        }
        if (got != e.size) {
          o.writeFailed = true;
          break;
        }
        data = spillBuffer.data();
      } else if (e.counted) {
        held_ -= static_cast<size_t>(e.size);
      }
      if (e.size > 0 && out->Write(data, static_cast<size_t>(e.size)) != e.size) {
        o.writeFailed = true;
        break;
      }
      written += e.size;
      if (e.step) step(e.percent);
    }
    if (o.writeFailed) break;
    bool finished;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      finished = job.finished && job.output.empty();
      o.readFailed = job.failed;
      o.readError = job.readError;
    }
    if (finished && job.replay.empty()) break;
    if (!did) {
      std::unique_lock<std::mutex> lock(mutex_);
      doneCv_.wait(lock, [&] { return progress_ != seen; });
    }
  }
  o.streamLength = written > INT32_MAX ? INT32_MAX : static_cast<int32_t>(written);
  Release(job);
  Advance();
  return o;
}

void CParallelCompressor::SkipNext() {
  if (next_ >= jobs_.size()) return;
  Release(*jobs_[next_]);
  Advance();
}

void CParallelCompressor::Advance() {
  {
    // Workers read it to find work; only this thread changes it.
    std::lock_guard<std::mutex> lock(mutex_);
    ++next_;
  }
  workCv_.notify_all();
}

void CParallelCompressor::Release(Job& job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job.input.clear();
    job.output.clear();
    // A worker still compressing an abandoned file finds nothing more to do.
    job.finished = true;
  }
  for (const Event& e : job.replay)
    if (e.counted) held_ -= static_cast<size_t>(e.size);
  job.replay.clear();
  job.source.reset();
  if (job.spill) {
    job.spill.reset();
    CurrentHost().DeleteFile(job.spillPath);
  }
}

}  // namespace zor
