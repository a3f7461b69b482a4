#include "tests/bench/index_bench.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

#include "engine/extract.h"
#include "engine/file_table.h"
#include "platform/posix/posix_host.h"
#include "tests/bench/process.h"

namespace zorbench {
namespace fs = std::filesystem;
namespace {

constexpr int64_t kBombExpanded = int64_t{1} << 30;

class WriteCountingFile : public zor::File {
 public:
  WriteCountingFile(std::unique_ptr<zor::File> inner, int64_t* written) : inner_(std::move(inner)), written_(written) {}
  int64_t Read(void* buffer, size_t size) override { return inner_->Read(buffer, size); }
  int64_t Write(const void* buffer, size_t size) override {
    int64_t n = inner_->Write(buffer, size);
    if (n > 0) *written_ += n;
    return n;
  }
  int64_t Seek(int64_t offset, zor::SeekFrom from) override { return inner_->Seek(offset, from); }
  int64_t Size() override { return inner_->Size(); }
  bool Flush() override { return inner_->Flush(); }

 private:
  std::unique_ptr<zor::File> inner_;
  int64_t* written_;
};

class WriteCountingHost : public zor::PosixHost {
 public:
  WriteCountingHost(std::wstring temp, int64_t* written) : temp_(std::move(temp)), written_(written) {}
  std::unique_ptr<zor::File> OpenFile(const std::wstring& path, zor::FileAccess access, uint32_t share,
                                      zor::FileCreate create, long* error) override {
    std::unique_ptr<zor::File> f = PosixHost::OpenFile(path, access, share, create, error);
    if (!f) return f;
    return std::make_unique<WriteCountingFile>(std::move(f), written_);
  }
  std::wstring TempFolder() override { return temp_; }

 private:
  std::wstring temp_;
  int64_t* written_;
};


// The 1 GiB index as one zlib stream: a wide string whose length claims
// all but its header, then that many bytes of one letter.
std::string BombStream() {
  z_stream z{};
  if (deflateInit(&z, 9) != Z_OK) throw std::runtime_error("zlib cannot start");
  std::string out;
  std::vector<unsigned char> chunk(1 << 20, 'A');
  std::vector<unsigned char> buffer(1 << 16);
  const uint32_t units = static_cast<uint32_t>((kBombExpanded - 10) / 2);
  const unsigned char head[10] = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, static_cast<unsigned char>(units),
                                  static_cast<unsigned char>(units >> 8), static_cast<unsigned char>(units >> 16),
                                  static_cast<unsigned char>(units >> 24)};
  int64_t left = kBombExpanded;
  bool first = true;
  for (;;) {
    if (z.avail_in == 0 && left > 0) {
      if (first) std::copy(head, head + sizeof head, chunk.begin());
      else std::fill(chunk.begin(), chunk.begin() + sizeof head, 'A');
      first = false;
      size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(chunk.size())));
      z.next_in = chunk.data();
      z.avail_in = static_cast<uInt>(n);
      left -= static_cast<int64_t>(n);
    }
    z.next_out = buffer.data();
    z.avail_out = static_cast<uInt>(buffer.size());
    int r = deflate(&z, left == 0 && z.avail_in == 0 ? Z_FINISH : Z_NO_FLUSH);
    if (r == Z_STREAM_ERROR) throw std::runtime_error("zlib failed");
    out.append(reinterpret_cast<const char*>(buffer.data()), buffer.size() - z.avail_out);
    if (r == Z_STREAM_END) break;
  }
  deflateEnd(&z);
  return out;
}

}  // namespace

OpenCost MeasureOpenCost(const fs::path& package, const fs::path& temp) {
  std::error_code ec;
  fs::remove_all(temp, ec);
  fs::create_directories(temp);
  OpenCost cost;
  WriteCountingHost host((temp / "").wstring(), &cost.written);
  zor::ScopedHost scope(&host);
  zor::CMyExtract reader;
  auto start = std::chrono::steady_clock::now();
  cost.result = reader.Open(package.wstring());
  cost.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  cost.peakKb = PeakResidentKb();
  cost.groups = static_cast<int>(reader.GetProject()->GetFileGroups().GetCount());
  for (const auto& e : fs::directory_iterator(temp)) {
    (void)e;
    ++cost.tempLeft;
  }
  return cost;
}

std::string FormatOpenCost(const OpenCost& c) {
  return "result " + std::to_string(c.result) + "\npeak-kb " + std::to_string(c.peakKb) + "\nwritten " +
         std::to_string(c.written) + "\ntemp-left " + std::to_string(c.tempLeft) + "\ngroups " +
         std::to_string(c.groups) + "\nseconds " + std::to_string(c.seconds) + "\n";
}

OpenCost ParseOpenCost(const fs::path& output) {
  OpenCost c;
  std::ifstream in(output);
  std::string key;
  bool any = false;
  while (in >> key) {
    any = true;
    if (key == "result") in >> c.result;
    else if (key == "peak-kb") in >> c.peakKb;
    else if (key == "written") in >> c.written;
    else if (key == "temp-left") in >> c.tempLeft;
    else if (key == "groups") in >> c.groups;
    else if (key == "seconds") in >> c.seconds;
  }
  if (!any || c.peakKb < 0) throw std::runtime_error("the open measurement printed nothing: " + output.string());
  return c;
}

void WriteIndexBomb(const fs::path& path, int32_t recorded) {
  const fs::path streamFile = path.parent_path() / "index-bomb.z";
  std::string stream;
  if (fs::exists(streamFile)) {
    std::ifstream in(streamFile, std::ios::binary);
    stream.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } else {
    stream = BombStream();
    std::ofstream(streamFile, std::ios::binary) << stream;
  }
  const std::string engine = "MZ" + std::string(4094, '\0');
  zor::CFileTableEntry e;
  e.m_strName = L"Zor1.tmp";
  e.m_nOffset = static_cast<int32_t>(engine.size());
  e.m_nPackedSize = static_cast<int32_t>(stream.size());
  e.m_nExpandedSize = recorded;
  std::string table;
  if (!zor::EncodeFileTable(&e, 1, &table)) throw std::runtime_error("cannot encode the file table");
  std::ofstream(path, std::ios::binary | std::ios::trunc) << engine << stream << table;
}

}  // namespace zorbench
