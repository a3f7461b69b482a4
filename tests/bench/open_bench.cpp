#include "tests/bench/open_bench.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/extract.h"
#include "engine/file_table.h"
#include "platform/posix/posix_host.h"

namespace zorbench {
namespace fs = std::filesystem;
namespace {

// Notes which bytes of a file were read.
struct ReadLog {
  int64_t total = 0;
  int64_t reads = 0;
  std::map<int64_t, int64_t> ranges;  // start -> end, merged

  void Add(int64_t start, int64_t n) {
    total += n;
    ++reads;
    int64_t end = start + n;
    auto it = ranges.upper_bound(start);
    if (it != ranges.begin() && std::prev(it)->second >= start) {
      --it;
      start = it->first;
      end = std::max(end, it->second);
      it = ranges.erase(it);
    }
    while (it != ranges.end() && it->first <= end) {
      end = std::max(end, it->second);
      it = ranges.erase(it);
    }
    ranges[start] = end;
  }
  int64_t Distinct() const {
    int64_t n = 0;
    for (const auto& r : ranges) n += r.second - r.first;
    return n;
  }
};

class CountedFile : public zor::File {
 public:
  CountedFile(std::unique_ptr<zor::File> inner, ReadLog* log) : inner_(std::move(inner)), log_(log) {}
  int64_t Read(void* buffer, size_t size) override {
    int64_t at = inner_->Seek(0, zor::SeekFrom::kCurrent);
    int64_t n = inner_->Read(buffer, size);
    if (n > 0) log_->Add(at, n);
    return n;
  }
  int64_t Write(const void* buffer, size_t size) override { return inner_->Write(buffer, size); }
  int64_t Seek(int64_t offset, zor::SeekFrom from) override { return inner_->Seek(offset, from); }
  int64_t Size() override { return inner_->Size(); }
  bool Flush() override { return inner_->Flush(); }

 private:
  std::unique_ptr<zor::File> inner_;
  ReadLog* log_;
};

// The real file system, with the reads of one file counted.
class CountingHost : public zor::PosixHost {
 public:
  CountingHost(std::wstring path, ReadLog* log) : path_(std::move(path)), log_(log) {}
  std::unique_ptr<zor::File> OpenFile(const std::wstring& path, zor::FileAccess access, uint32_t share,
                                      zor::FileCreate create, long* error) override {
    std::unique_ptr<zor::File> f = PosixHost::OpenFile(path, access, share, create, error);
    if (f && path == path_) return std::make_unique<CountedFile>(std::move(f), log_);
    return f;
  }

 private:
  std::wstring path_;
  ReadLog* log_;
};

std::string ReadRange(const fs::path& path, int64_t offset, int64_t size) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open " + path.string());
  std::string bytes(static_cast<size_t>(size), '\0');
  ssize_t n = ::pread(fd, &bytes[0], bytes.size(), offset);
  ::close(fd);
  if (n != size) throw std::runtime_error("cannot read " + path.string());
  return bytes;
}

}  // namespace

OpenMeasure MeasureOpen(const fs::path& source, const fs::path& path, int64_t size, int64_t tail) {
  OpenMeasure m;
  m.packageSize = size;
  m.tail = tail;

  // The index and table of the built package.
  zor::CFileTableEntry table[zor::kFileTableSlots];
  int32_t count = 0;
  {
    zor::PosixHost host;
    std::unique_ptr<zor::File> f =
        host.OpenFile(source.wstring(), zor::FileAccess::kRead, zor::kShareRead, zor::FileCreate::kOpenExisting);
    if (!f || zor::ReadFileTable(*f, table, &count) != zor::kResultOk || count < 1)
      throw std::runtime_error("not a package: " + source.string());
  }
  std::string index = ReadRange(source, table[0].m_nOffset, table[0].m_nPackedSize);
  std::string trailer;
  for (int pass = 0; pass < 2; ++pass) {
    // The table's length does not depend on the offset it records.
    table[0].m_nOffset = static_cast<int32_t>(size - tail - static_cast<int64_t>(trailer.size()) -
                                              static_cast<int64_t>(index.size()));
    if (!zor::EncodeFileTable(table, count, &trailer)) throw std::runtime_error("cannot encode the file table");
  }
  m.indexBytes = static_cast<int64_t>(index.size());
  m.tableBytes = static_cast<int64_t>(trailer.size());

  // Signature-like filler after the trailer; it never holds the signature
  // since no byte of it is '@'.
  std::string after(static_cast<size_t>(tail), '\0');
  uint64_t x = 0x2545F4914F6CDD1Dull;
  for (char& c : after) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    c = static_cast<char>(x % 255 == '@' ? 0x41 : x % 255);
  }
  std::string end = index + trailer + after;
  {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path.string());
    bool ok = ::ftruncate(fd, size) == 0 &&
              ::pwrite(fd, end.data(), end.size(), size - static_cast<int64_t>(end.size())) ==
                  static_cast<ssize_t>(end.size());
    ::close(fd);
    if (!ok) throw std::runtime_error("cannot write " + path.string());
  }

  ReadLog log;
  CountingHost host(path.wstring(), &log);
  zor::ScopedHost scope(&host);
  zor::CMyExtract reader;
  auto start = std::chrono::steady_clock::now();
  m.result = reader.Open(path.wstring());
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  m.groups = static_cast<int>(reader.GetProject()->GetFileGroups().GetCount());
  m.bytesRead = log.total;
  m.distinctBytes = log.Distinct();
  m.reads = log.reads;
  std::error_code ec;
  fs::remove(path, ec);
  return m;
}

}  // namespace zorbench
