#include "engine/file_table.h"

#include <gtest/gtest.h>

#include "engine/result_codes.h"
#include "tests/unit/engine/engine_fixtures.h"

namespace {

using zor::CFileTableEntry;
using zortest::SparseFile;

// A test name from a case's description: letters and digits kept, the rest '_'.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  std::string n;
  for (const char* p = info.param.what; *p; ++p) n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return n;
}

CFileTableEntry Entry(const std::wstring& name, int32_t offset, int32_t packed, int32_t expanded) {
  CFileTableEntry e;
  e.m_strName = name;
  e.m_nOffset = offset;
  e.m_nPackedSize = packed;
  e.m_nExpandedSize = expanded;
  return e;
}

std::string Trailer(std::initializer_list<CFileTableEntry> entries) {
  std::vector<CFileTableEntry> v(entries);
  std::string out;
  EXPECT_TRUE(zor::EncodeFileTable(v.data(), static_cast<int>(v.size()), &out));
  return out;
}

std::string Le32(int32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
  return s;
}

std::string Utf16(const std::string& ascii) {
  std::string s;
  for (char c : ascii) {
    s += c;
    s += '\0';
  }
  return s;
}

const std::string kSig = Utf16("@QUILLMAR&@");
const std::string kVersionCountEnd = Utf16("2.00") + kSig;

TEST(FileTable, WritesTheSixtyEightByteExampleAndReadsItBack) {
  std::string bytes = Trailer({Entry(L"Zor29.tmp", 94371056, 5163, 47072)});
  EXPECT_EQ(zortest::Hex(bytes),
            "F0 FC 9F 05 E0 B7 00 00 2B 14 00 00 5A 00 6F 00 72 00 32 00 39 00 2E 00 74 00 6D 00 70 00 12 00 "
            "00 00 01 00 00 00 32 00 2E 00 30 00 30 00 40 00 51 00 55 00 49 00 4C 00 4C 00 4D 00 41 00 52 00 "
            "26 00 40 00");

  // The same bytes at the end of a package of the example's size (the
  // stream and everything before it are zeros here).
  SparseFile file(94371056 + 5163 + 68, bytes);
  CFileTableEntry table[zor::kFileTableSlots];
  int32_t count = -1;
  zor::TrailerInfo info;
  ASSERT_EQ(zor::ReadFileTable(file, table, &count, &info), zor::kResultOk);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(table[0].m_strName, L"Zor29.tmp");
  EXPECT_EQ(table[0].m_nOffset, 94371056);
  EXPECT_EQ(table[0].m_nPackedSize, 5163);
  EXPECT_EQ(table[0].m_nExpandedSize, 47072);
  EXPECT_EQ(info.tail, 0);
  EXPECT_EQ(info.tableStart, 94371056 + 5163);
  // Found by the first 22-byte read: no window was searched.
  EXPECT_EQ(file.bytesRead, 22 + 8 + 4 + 4 + 30);
  EXPECT_EQ(file.faults, 0);
}

TEST(FileTable, EntriesComeBackInStoredOrderWithExactNames) {
  std::string bytes = Trailer({Entry(L"index.bin", 0, 10, 100), Entry(L"", 10, 0, 0),
                               Entry(L"\x00e9t\x00e9-\x4e2d.dat", 10, 5, 7)});
  SparseFile file(std::string(15, 'x') + bytes);
  CFileTableEntry table[zor::kFileTableSlots];
  int32_t count = 0;
  ASSERT_EQ(zor::ReadFileTable(file, table, &count), zor::kResultOk);
  ASSERT_EQ(count, 3);
  EXPECT_EQ(table[0].m_strName, L"index.bin");  // stored first, read last
  EXPECT_EQ(table[0].m_nPackedSize, 10);
  EXPECT_EQ(table[1].m_strName, L"");
  EXPECT_EQ(table[2].m_strName, L"\x00e9t\x00e9-\x4e2d.dat");
  EXPECT_EQ(table[2].m_nOffset, 10);
  // A 9-character name takes exactly 18 bytes followed by its length.
  EXPECT_EQ(bytes.substr(12, 22), Utf16("index.bin") + Le32(18));
}

TEST(FileTable, WriterRefusesWhatTheReaderCouldNotTake) {
  std::string out;
  std::vector<CFileTableEntry> many(21);
  EXPECT_FALSE(zor::EncodeFileTable(many.data(), 21, &out));
  CFileTableEntry longName = Entry(std::wstring(260, L'n'), 0, 0, 0);
  EXPECT_FALSE(zor::EncodeFileTable(&longName, 1, &out));
  longName.m_strName.resize(259);
  EXPECT_TRUE(zor::EncodeFileTable(&longName, 1, &out));
}

// The backward search over a package followed by `tail` filler bytes.
struct TailCase {
  const char* what;
  int64_t tail;
  bool found;
};

class TrailerSearch : public ::testing::TestWithParam<TailCase> {};

TEST_P(TrailerSearch, FindsTheSignatureOnlyInsideTheSearchArea) {
  const TailCase& c = GetParam();
  std::string package = std::string(1000, '\x11') + Trailer({Entry(L"Zor1.tmp", 0, 900, 2000)});
  std::string tail(static_cast<size_t>(c.tail), '\xAA');
  // The engine in front is 500,000 bytes so every window exists.
  int64_t size = 500000 + static_cast<int64_t>(package.size()) + c.tail;
  SparseFile file(size, package + tail, 0x11);
  CFileTableEntry table[zor::kFileTableSlots];
  int32_t count = 0;
  zor::TrailerInfo info;
  int32_t r = zor::ReadFileTable(file, table, &count, &info);
  EXPECT_EQ(file.faults, 0);
  if (!c.found) {
    EXPECT_EQ(r, zor::kResultNotPackage);
    return;
  }
  ASSERT_EQ(r, zor::kResultOk);
  EXPECT_EQ(info.tail, c.tail);
  EXPECT_EQ(table[0].m_strName, L"Zor1.tmp");  // read relative to the signature
  EXPECT_EQ(table[0].m_nPackedSize, 900);
  EXPECT_LE(file.bytesRead, 22 + 400000 + 200);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, TrailerSearch,
    ::testing::Values(TailCase{"none", 0, true}, TailCase{"one byte", 1, true},
                      TailCase{"at the start of the last window", 7978, true},
                      TailCase{"across the first window border", 7979, false},
                      TailCase{"across it by one byte", 7999, false},
                      TailCase{"across a border further back", 8000 * 7 - 12, false},
                      TailCase{"wholly inside the second window", 8000, true},
                      TailCase{"at the start of the fiftieth window", 399978, true},
                      TailCase{"across the fiftieth window's start", 399979, false},
                      TailCase{"beyond the fifty windows", 400100, false}),
    CaseName<TailCase>);

// Just enough of a Windows program's headers for the reader to find its
// certificate-table entry (PE32 or PE32+), pointing at [table, table + size).
std::string PeHeaders(bool pe32plus, uint32_t table, uint32_t size) {
  std::string b(512, '\0');
  b[0] = 'M';
  b[1] = 'Z';
  b.replace(0x3C, 4, Le32(0x80));
  b.replace(0x80, 4, std::string("PE\0\0", 4));
  const size_t opt = 0x80 + 24;
  b[opt] = 0x0B;
  b[opt + 1] = pe32plus ? 0x02 : 0x01;
  const size_t dirs = opt + (pe32plus ? 112 : 96);
  b.replace(dirs - 4, 4, Le32(16));
  b.replace(dirs + 32, 4, Le32(static_cast<int32_t>(table)));
  b.replace(dirs + 36, 4, Le32(static_cast<int32_t>(size)));
  return b;
}

// A signed package whose signature block puts the trailer's signature
// across a window border: the window search misses it, the certificate
// table in front of which it lies does not.
struct SignedCase {
  const char* what;
  bool pe32plus;
  int padding;        // alignment bytes between trailer and signature block
  char paddingByte;   // what they hold
  int64_t tableEnd;   // where the certificate-table entry says the block ends, relative to the file's end
  bool found;
};

class SignedTrailer : public ::testing::TestWithParam<SignedCase> {};

TEST_P(SignedTrailer, IsFoundInFrontOfTheCertificateTable) {
  const SignedCase& c = GetParam();
  std::string trailer = Trailer({Entry(L"Zor1.tmp", 512, 900, 2000)});
  const int64_t block = 7990 - c.padding;  // signature lies across the first border
  const int64_t size = 600000;
  const int64_t table = size - block;
  std::string head = PeHeaders(c.pe32plus, static_cast<uint32_t>(table),
                               static_cast<uint32_t>(block + c.tableEnd));
  std::string end = std::string(1000, '\x11') + trailer + std::string(static_cast<size_t>(c.padding), c.paddingByte) +
                    std::string(static_cast<size_t>(block), '\xAA');
  std::string bytes = head + std::string(static_cast<size_t>(size) - head.size() - end.size(), '\x11') + end;
  SparseFile file(bytes);
  CFileTableEntry table0[zor::kFileTableSlots];
  int32_t count = 0;
  zor::TrailerInfo info;
  int32_t r = zor::ReadFileTable(file, table0, &count, &info);
  EXPECT_EQ(file.faults, 0);
  if (!c.found) {
    EXPECT_EQ(r, zor::kResultNotPackage);
    return;
  }
  ASSERT_EQ(r, zor::kResultOk);
  EXPECT_EQ(info.tail, block + c.padding);
  EXPECT_EQ(table0[0].m_strName, L"Zor1.tmp");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SignedTrailer,
    ::testing::Values(SignedCase{"PE32 no padding", false, 0, '\0', 0, true},
                      SignedCase{"PE32plus seven zero bytes", true, 7, '\0', 0, true},
                      SignedCase{"padding that is not zeros", false, 3, '\x55', 0, false},
                      SignedCase{"block not ending the file", false, 0, '\0', -8, false},
                      SignedCase{"block said to run past the end", true, 0, '\0', 8, false}),
    CaseName<SignedCase>);

TEST(FileTable, AStraySignatureAcrossABorderIsNeverTaken) {
  // The real trailer lies wholly inside the second window; a stray copy of
  // the signature straddles the border between the first two, nearer the
  // end. Only the real one is found.
  std::string package = std::string(1000, '\x11') + Trailer({Entry(L"Zor1.tmp", 0, 900, 2000)});
  const int64_t tail = 8100;
  std::string after(static_cast<size_t>(tail), '\xAA');
  after.replace(static_cast<size_t>(tail - 8011), kSig.size(), kSig);  // starts 8,011 bytes before the end
  SparseFile file(500000 + static_cast<int64_t>(package.size()) + tail, package + after, 0x11);
  CFileTableEntry table[zor::kFileTableSlots];
  int32_t count = 0;
  zor::TrailerInfo info;
  ASSERT_EQ(zor::ReadFileTable(file, table, &count, &info), zor::kResultOk);
  EXPECT_EQ(info.tail, tail);
  EXPECT_EQ(table[0].m_strName, L"Zor1.tmp");
}

TEST(FileTable, EvenOffsetsOfAWindowAreTriedBeforeOddOnes) {
  // Package with its signature at an odd offset inside the last window (the
  // file size is even, so windows start at even offsets).
  std::string package = std::string(1001, '\x11') + Trailer({Entry(L"Zor1.tmp", 0, 900, 2000)});
  std::string tail(31, '\xAA');
  ASSERT_EQ((package.size() + tail.size()) % 2, 0u);
  {
    SparseFile file(package + tail);
    CFileTableEntry table[zor::kFileTableSlots];
    int32_t count = 0;
    EXPECT_EQ(zor::ReadFileTable(file, table, &count), zor::kResultNotPackage)
        << "shorter than one window: nothing to search";
  }
  SparseFile file(200000, package + tail, 0x11);
  CFileTableEntry table[zor::kFileTableSlots];
  int32_t count = 0;
  zor::TrailerInfo info;
  ASSERT_EQ(zor::ReadFileTable(file, table, &count, &info), zor::kResultOk);
  EXPECT_EQ(info.tail, 31);

  // A stray copy of the signature at an even offset of the same window wins
  // even though it lies after the real one; what precedes it is no version.
  std::string strayTail = std::string(3, '\xAA') + kSig + std::string(6, '\xAA');
  ASSERT_EQ(strayTail.size(), 31u);
  SparseFile stray(200000, package + strayTail, 0x11);
  EXPECT_EQ(zor::ReadFileTable(stray, table, &count), zor::kResultNotPackage);
}

// Damaged trailers: each must be refused without reading outside the file.
struct BadCase {
  const char* what;
  std::string bytes;
  int32_t expected;
};

std::string WithCount(int32_t count) { return Le32(count) + kVersionCountEnd; }
// One entry with the given fields in front of a 100-byte body.
std::string OneEntry(int32_t offset, int32_t expanded, int32_t packed, const std::string& name, int32_t nameBytes) {
  return std::string(100, '\x11') + Le32(offset) + Le32(expanded) + Le32(packed) + name + Le32(nameBytes) +
         WithCount(1);
}

class TrailerRefusal : public ::testing::TestWithParam<BadCase> {};

TEST_P(TrailerRefusal, RefusesWithoutReadingOutsideTheFile) {
  const BadCase& c = GetParam();
  SparseFile file(c.bytes);
  CFileTableEntry table[zor::kFileTableSlots];
  table[0].m_strName = L"untouched";
  int32_t count = 77;
  EXPECT_EQ(zor::ReadFileTable(file, table, &count), c.expected);
  EXPECT_EQ(file.faults, 0);
  EXPECT_EQ(table[0].m_strName, L"untouched");
  EXPECT_EQ(count, 77);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrailerRefusal,
    ::testing::Values(
        BadCase{"empty file", "", zor::kResultNotPackage},
        BadCase{"shorter than the signature", kSig.substr(2), zor::kResultNotPackage},
        BadCase{"signature only", kSig, zor::kResultNotPackage},
        BadCase{"no room for the count", Utf16("2.00") + kSig, zor::kResultNotPackage},
        BadCase{"short file without signature", std::string(5000, 'z'), zor::kResultNotPackage},
        BadCase{"other version", std::string(100, 'x') + Le32(1) + Utf16("2.01") + kSig, zor::kResultNotPackage},
        BadCase{"count zero", std::string(100, 'x') + WithCount(0), zor::kResultEmptyPackage},
        BadCase{"count negative", std::string(100, 'x') + WithCount(-1), zor::kResultNotPackage},
        BadCase{"count above twenty", std::string(5000, 'x') + WithCount(21), zor::kResultNotPackage},
        BadCase{"count beyond the table", WithCount(2).insert(0, std::string(8, 'x')), zor::kResultNotPackage},
        BadCase{"odd name length", OneEntry(0, 1, 1, "abc", 3), zor::kResultNotPackage},
        BadCase{"name length above 8000", OneEntry(0, 1, 1, std::string(8002, 'a'), 8002), zor::kResultNotPackage},
        BadCase{"name length beyond the file start", OneEntry(0, 1, 1, "ab", 400), zor::kResultNotPackage},
        BadCase{"negative name length", OneEntry(0, 1, 1, "", -2), zor::kResultNotPackage},
        BadCase{"negative offset", OneEntry(-1, 1, 1, "ab", 2), zor::kResultNotPackage},
        BadCase{"negative packed size", OneEntry(0, 1, -1, "ab", 2), zor::kResultNotPackage},
        BadCase{"negative expanded size", OneEntry(0, -5, 1, "ab", 2), zor::kResultNotPackage},
        BadCase{"stream into the table", OneEntry(50, 1, 51, "ab", 2), zor::kResultNotPackage},
        BadCase{"offset past the end", OneEntry(0x7FFFFF00, 1, 1, "ab", 2), zor::kResultNotPackage}),
    CaseName<BadCase>);

TEST(FileTable, AStreamEndingRightAtTheTableIsAccepted) {
  SparseFile file(OneEntry(50, 1, 50, "ab", 2));
  CFileTableEntry table[zor::kFileTableSlots];
  int32_t count = 0;
  EXPECT_EQ(zor::ReadFileTable(file, table, &count), zor::kResultOk);
  EXPECT_EQ(table[0].m_nOffset, 50);
  EXPECT_EQ(table[0].m_nPackedSize, 50);
}

TEST(FileTable, TwentyEntriesAreTheMost) {
  std::vector<CFileTableEntry> v;
  for (int i = 0; i < 20; ++i) v.push_back(Entry(L"f" + std::to_wstring(i), i, 1, 1));
  std::string bytes;
  ASSERT_TRUE(zor::EncodeFileTable(v.data(), 20, &bytes));
  SparseFile file(std::string(30, 'x') + bytes);
  CFileTableEntry table[zor::kFileTableSlots];
  int32_t count = 0;
  ASSERT_EQ(zor::ReadFileTable(file, table, &count), zor::kResultOk);
  ASSERT_EQ(count, 20);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(table[i].m_strName, L"f" + std::to_wstring(i));
}

TEST(FileTable, OpeningAGigabytePackageReadsOnlyTheSearchAreaAndTable) {
  std::string trailer = Trailer({Entry(L"Zor7.tmp", 1000000000, 1000, 5000)});
  for (int64_t tail : {int64_t{0}, int64_t{399978}}) {
    SparseFile file(int64_t{1000001000} + static_cast<int64_t>(trailer.size()) + tail,
                    trailer + std::string(static_cast<size_t>(tail), '\xAA'));
    CFileTableEntry table[zor::kFileTableSlots];
    int32_t count = 0;
    ASSERT_EQ(zor::ReadFileTable(file, table, &count), zor::kResultOk);
    EXPECT_LE(file.bytesRead, 22 + 400000 + static_cast<int64_t>(trailer.size()));
    EXPECT_GE(file.lowestRead, int64_t{1000001000} - 400000);
  }
}

}  // namespace
