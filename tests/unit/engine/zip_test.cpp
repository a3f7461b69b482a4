#include "engine/zip.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/unit/engine/engine_fixtures.h"

namespace {

using zortest::Zlib;

using zortest::SinkFile;
using zortest::SparseFile;

// The compression loop the builder runs, into `out`.
int32_t CompressAll(zor::CMyZip& zip, zor::File& source, zor::File& out) {
  zip.Begin(1);
  zip.SetTotal(static_cast<int32_t>(source.Size()));
  for (;;) {
    if (zip.CompressRead(&source) <= 0) break;
    int r = zip.Compress(Z_NO_FLUSH);
    zip.CompressWrite(&out);
    if (r != Z_OK) break;
  }
  int r;
  do {
    r = zip.Compress(Z_FINISH);
    zip.CompressWrite(&out);
  } while (r == Z_OK);
  zip.End(1);
  return zip.GetOutputTotal();
}

// The expansion loop the extractor runs; returns zlib's last result.
int ExpandAll(zor::CMyZip& zip, zor::File& package, zor::File& out) {
  zip.Begin(0);
  int r = Z_OK;
  for (;;) {
    if (zip.ExpandRead(&package) <= 0) break;
    r = zip.Expand(Z_NO_FLUSH);
    zip.ExpandWrite(&out);
    if (r != Z_OK) break;
  }
  while (r == Z_OK) {
    r = zip.Expand(Z_FINISH);
    zip.ExpandWrite(&out);
  }
  zip.End(0);
  return r;
}

TEST(Zip, EmptySourceMakesACompleteStream) {
  zor::CMyZip zip;
  SparseFile source{std::string()};
  SinkFile out;
  EXPECT_EQ(CompressAll(zip, source, out), 8);
  EXPECT_EQ(zortest::Hex(out.bytes), "78 9C 03 00 00 00 00 01");
}

TEST(Zip, StreamsAreLevelSixWithDefaultsAndWrittenInBoundedChunks) {
  for (size_t size : {size_t{1}, size_t{40960}, size_t{300000}}) {
    std::string data = zortest::SampleBytes(size, static_cast<uint32_t>(size));
    zor::CMyZip zip;
    SparseFile source(data);
    SinkFile out;
    int32_t total = CompressAll(zip, source, out);
    EXPECT_EQ(out.bytes, Zlib(data)) << size;
    EXPECT_EQ(total, static_cast<int32_t>(out.bytes.size()));
    EXPECT_EQ(out.bytes.substr(0, 2), "\x78\x9C");
    for (size_t w : out.writes) EXPECT_LE(w, 40960u);
  }
}

TEST(Zip, OneZipCarriesNothingFromOneStreamIntoTheNext) {
  // The zip keeps zlib's memory between streams; whatever an earlier
  // stream, or a stream of the other direction, left in it must not show in
  // the bytes of a later one.
  const std::string first = zortest::SampleBytes(120000, 5);
  const std::string inputs[] = {first, std::string(90000, 'q'), zortest::SampleBytes(70000, 6), first};
  zor::CMyZip zip;
  for (const std::string& data : inputs) {
    SparseFile source(data);
    SinkFile packed;
    CompressAll(zip, source, packed);
    EXPECT_EQ(packed.bytes, Zlib(data)) << data.size();
    SparseFile package(packed.bytes + "trailing");
    SinkFile out;
    EXPECT_EQ(ExpandAll(zip, package, out), Z_STREAM_END);
    EXPECT_EQ(out.bytes, data);
  }
}

TEST(Zip, HighlyCompressibleDataExpandsInBoundedChunks) {
  std::string data(2000000, 'z');
  std::string stream = Zlib(data);
  zor::CMyZip zip;
  SparseFile package(stream);
  SinkFile out;
  EXPECT_EQ(ExpandAll(zip, package, out), Z_STREAM_END);
  EXPECT_EQ(out.bytes, data);
  for (size_t w : out.writes) EXPECT_LE(w, 40960u);
  EXPECT_GT(out.writes.size(), 40u);
}

TEST(Zip, ExpansionStopsAtTheStreamsOwnEnd) {
  std::string data = zortest::SampleBytes(100000, 3);
  std::string next = Zlib("the next stream");
  zor::CMyZip zip;
  SparseFile package(Zlib(data) + next + std::string(50000, '\x42'));
  SinkFile out;
  EXPECT_EQ(ExpandAll(zip, package, out), Z_STREAM_END);
  EXPECT_EQ(out.bytes, data);

  // Begin forgets input read past the previous stream's end.
  package.Seek(static_cast<int64_t>(Zlib(data).size()), zor::SeekFrom::kBegin);
  SinkFile second;
  EXPECT_EQ(ExpandAll(zip, package, second), Z_STREAM_END);
  EXPECT_EQ(second.bytes, "the next stream");
}

TEST(Zip, DamageAndTruncationShowInTheLastResult) {
  std::string data = zortest::SampleBytes(100000, 4);
  std::string stream = Zlib(data);
  std::string badSum = stream;
  badSum.back() ^= 1;
  std::string badData = stream;
  badData[stream.size() / 2] ^= 0x55;
  for (const std::string& bytes : {badSum, badData, stream.substr(0, stream.size() - 10), std::string("\x78\x9C")}) {
    zor::CMyZip zip;
    SparseFile package(bytes);
    SinkFile out;
    EXPECT_NE(ExpandAll(zip, package, out), Z_STREAM_END);
  }
}

TEST(Zip, WritingWithNothingPendingWritesNothing) {
  zor::CMyZip zip;
  SinkFile out;
  zip.Begin(1);
  EXPECT_EQ(zip.CompressWrite(&out), 0);
  EXPECT_TRUE(out.writes.empty());
  zip.End(1);
}

TEST(Zip, ReadAndWriteFailuresAreReported) {
  struct Broken : SparseFile {
    Broken() : SparseFile(std::string(10, 'x')) {}
    int64_t Read(void*, size_t) override { return -1; }
  } broken;
  zor::CMyZip zip;
  zip.Begin(1);
  EXPECT_EQ(zip.CompressRead(&broken), -1);
  SparseFile source(zortest::SampleBytes(1000, 5));
  EXPECT_EQ(zip.CompressRead(&source), 1000);
  zip.Compress(Z_FINISH);
  SinkFile full;
  full.failAfter = 0;
  EXPECT_EQ(zip.CompressWrite(&full), -1);
  zip.End(1);
}

TEST(Zip, CallsOfTheWrongDirectionAreRefused) {
  zor::CMyZip zip;
  EXPECT_EQ(zip.Compress(Z_NO_FLUSH), Z_STREAM_ERROR);  // never begun
  zip.Begin(1);
  EXPECT_EQ(zip.Expand(Z_NO_FLUSH), Z_STREAM_ERROR);
  zip.End(0);  // the wrong end leaves the compression open
  EXPECT_EQ(zip.Compress(Z_FINISH), Z_STREAM_END);
  zip.End(1);
  EXPECT_EQ(zip.Compress(Z_FINISH), Z_STREAM_ERROR);
  zip.Begin(0);
  zip.Begin(1);  // a second Begin replaces the open stream
  EXPECT_EQ(zip.Compress(Z_FINISH), Z_STREAM_END);
}

TEST(Zip, PercentFollowsTheTotalsRules) {
  EXPECT_EQ(zor::PercentOf(0, 0), 100);
  EXPECT_EQ(zor::PercentOf(12345, 0), 100);
  EXPECT_EQ(zor::PercentOf(10000000, 20000000), 50);
  EXPECT_EQ(zor::PercentOf(1, 3), 33);
  EXPECT_EQ(zor::PercentOf(9999999, 10000000), 99);
  // Above 10,000,000 the total is divided first: 10,000,099 / 100 = 100,000.
  EXPECT_EQ(zor::PercentOf(5000000, 10000099), 50);
  EXPECT_EQ(zor::PercentOf(2000000000, 2100000000), 95);

  zor::CMyZip zip;
  std::string data = zortest::SampleBytes(100000, 6);
  SparseFile source(data);
  SinkFile out;
  zip.Begin(1);
  zip.SetTotal(200000);
  zip.CompressRead(&source);
  zip.Compress(Z_NO_FLUSH);
  EXPECT_EQ(zip.GetPercent(), 20);  // 40,960 of 200,000 consumed
  zip.End(1);
}

}  // namespace
