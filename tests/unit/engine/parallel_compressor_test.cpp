#include "engine/parallel_compressor.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "common/wstr.h"
#include "platform/testhost/test_host.h"
#include "tests/unit/engine/engine_fixtures.h"

namespace {

using zor::CParallelCompressor;

struct Stream {
  std::string bytes;
  std::vector<int32_t> steps;
};

// The file-by-file loop, as reference.
Stream Sequential(const std::wstring& path) {
  Stream s;
  auto source = zor::CurrentHost().OpenFile(path, zor::FileAccess::kRead, zor::kShareRead,
                                            zor::FileCreate::kOpenExisting);
  EXPECT_TRUE(source);
  zortest::SinkFile out;
  zor::CMyZip zip;
  zip.Begin(1);
  zip.SetTotal(static_cast<int32_t>(source->Size()));
  for (;;) {
    if (zip.CompressRead(source.get()) <= 0) break;
    int r = zip.Compress(Z_NO_FLUSH);
    zip.CompressWrite(&out);
    if (r != Z_OK) break;
    s.steps.push_back(zip.GetPercent());
  }
  int r;
  do {
    r = zip.Compress(Z_FINISH);
    zip.CompressWrite(&out);
  } while (r == Z_OK);
  zip.End(1);
  s.bytes = out.bytes;
  return s;
}

struct PoolSetup {
  const char* what;
  int workers;
  int lookahead;
  size_t held;
};

class ParallelCompressor : public ::testing::TestWithParam<PoolSetup> {};

TEST_P(ParallelCompressor, WritesExactlyTheFileByFileStreamsInOrder) {
  const PoolSetup& c = GetParam();
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.AddDirectory(L"C:\\Temp");
  std::vector<std::wstring> paths;
  std::vector<size_t> sizes = {0, 1, 100000, 5, 700000, 40960, 40961, 3000, 81920, 12};
  for (size_t i = 0; i < sizes.size(); ++i) {
    paths.push_back(L"C:\\src\\f" + std::to_wstring(i) + L".bin");
    host.AddFile(paths.back(), zortest::SampleBytes(sizes[i], static_cast<uint32_t>(i)));
  }
  paths.insert(paths.begin() + 3, L"C:\\src\\missing.bin");
  paths.push_back(paths[1]);  // the same source twice gives two streams

  CParallelCompressor::Limits limits;
  limits.workers = c.workers;
  limits.lookahead = c.lookahead;
  limits.heldBytes = c.held;
  CParallelCompressor pc(limits);
  for (size_t i = 0; i < paths.size(); ++i) pc.Add(&paths[i], paths[i]);
  pc.Start();
  for (size_t i = 0; i < paths.size(); ++i) {
    ASSERT_TRUE(pc.IsNext(&paths[i], paths[i]));
    EXPECT_FALSE(pc.IsNext(&paths[i], paths[i] + L"x"));
    zortest::SinkFile out;
    std::vector<int32_t> steps;
    CParallelCompressor::Outcome o = pc.WriteNext(&out, [&](int32_t p) { steps.push_back(p); });
    if (paths[i] == L"C:\\src\\missing.bin") {
      EXPECT_FALSE(o.opened);
      EXPECT_EQ(o.openError, zor::kErrFileNotFound);
      EXPECT_TRUE(out.bytes.empty());
      continue;
    }
    ASSERT_TRUE(o.opened);
    EXPECT_FALSE(o.readFailed);
    EXPECT_FALSE(o.writeFailed);
    Stream expected = Sequential(paths[i]);
    EXPECT_EQ(out.bytes, expected.bytes) << i;
    EXPECT_EQ(steps, expected.steps) << i;
    EXPECT_EQ(o.streamLength, static_cast<int32_t>(expected.bytes.size()));
  }
  if (c.held < 100000) {
    EXPECT_GT(pc.SpilledBytes(), 0u);
  } else {
    EXPECT_EQ(pc.SpilledBytes(), 0u);
  }
  // Spill files are gone; only the sources remain.
  for (const std::wstring& p : host.FilePaths()) EXPECT_EQ(p.find(L"C:\\src\\"), 0u) << zor::ToUtf8(p);
}

INSTANTIATE_TEST_SUITE_P(Setups, ParallelCompressor,
                         ::testing::Values(PoolSetup{"OneWorker", 1, 1, size_t{16} << 20},
                                           PoolSetup{"TwoWorkers", 2, 4, size_t{16} << 20},
                                           PoolSetup{"ManyWorkersSpilling", 5, 12, 1000},
                                           PoolSetup{"NothingHeld", 3, 64, 0}),
                         [](const ::testing::TestParamInfo<PoolSetup>& info) { return info.param.what; });

TEST(ParallelCompressorFailures, AFailedWriteStopsTheFileAndLaterFilesStillWork) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.AddDirectory(L"C:\\Temp");
  host.AddFile(L"C:\\a", zortest::SampleBytes(500000, 1));
  host.AddFile(L"C:\\b", zortest::SampleBytes(1000, 2));
  CParallelCompressor::Limits limits;
  limits.workers = 2;
  CParallelCompressor pc(limits);
  int a = 0, b = 0;
  pc.Add(&a, L"C:\\a");
  pc.Add(&b, L"C:\\b");
  pc.Start();
  zortest::SinkFile full;
  full.failAfter = 1000;
  EXPECT_TRUE(pc.WriteNext(&full, [](int32_t) {}).writeFailed);
  zortest::SinkFile out;
  auto o = pc.WriteNext(&out, [](int32_t) {});
  EXPECT_FALSE(o.writeFailed);
  EXPECT_EQ(out.bytes, Sequential(L"C:\\b").bytes);
}

TEST(ParallelCompressorFailures, StoppingEarlyLeavesNoSpillFiles) {
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  host.AddDirectory(L"C:\\Temp");
  std::vector<std::wstring> paths;
  for (int i = 0; i < 6; ++i) {
    paths.push_back(L"C:\\s" + std::to_wstring(i));
    host.AddFile(paths.back(), zortest::SampleBytes(200000, static_cast<uint32_t>(i)));
  }
  {
    CParallelCompressor::Limits limits;
    limits.workers = 3;
    limits.heldBytes = 0;
    CParallelCompressor pc(limits);
    for (auto& p : paths) pc.Add(&p, p);
    pc.Start();
    zortest::SinkFile out;
    pc.WriteNext(&out, [](int32_t) {});
    pc.SkipNext();
  }
  EXPECT_EQ(host.FilePaths().size(), paths.size());
}

}  // namespace
