// Initialization-file sections read through the platform's own host from
// real files: natively that is our parser, under Wine the system's
// GetPrivateProfileSectionW. The same expectations hold for both, so a case
// that fails only natively is a difference between our parser and the system.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/wstr.h"
#include "platform/host.h"

#ifdef _WIN32
#include <process.h>
#define GetPid _getpid
#else
#include <unistd.h>
#define GetPid getpid
#endif

namespace {

namespace fs = std::filesystem;

// A folder of its own under the system's temporary folder, removed at the end.
class ProfileSection : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("zor-profile-" + std::to_string(GetPid()) + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  std::wstring Write(const std::string& name, const std::string& bytes) {
    fs::path p = dir_ / name;
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    EXPECT_TRUE(out) << name;
    return p.wstring();
  }

  std::wstring PathOf(const std::string& name) const { return (dir_ / name).wstring(); }

  fs::path dir_;
};

// Bytes of a literal that may contain zeros.
template <size_t N>
std::string Raw(const char (&s)[N]) {
  return std::string(s, N - 1);
}

std::string Utf16LeWithBom(const std::wstring& text) {
  std::string out = "\xFF\xFE";
  zor::AppendUtf16Le(out, text);
  return out;
}

// Shows zeros as '|' and anything outside printable ASCII as \uXXXX, so a
// failing comparison of two buffers is readable.
std::string Show(const std::wstring& s) {
  std::string out;
  for (wchar_t c : s) {
    if (c == 0) {
      out += '|';
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\u" + zor::ToUtf8(zor::ToHex(static_cast<uint32_t>(c), 4));
    }
  }
  return out;
}

// The lines joined as the system returns them: each ends with a zero, and the
// list with one more.
std::wstring Lines(std::initializer_list<const wchar_t*> lines) {
  std::wstring out;
  for (const wchar_t* l : lines) {
    out += l;
    out += L'\0';
  }
  out += L'\0';
  return out;
}

struct Read {
  size_t result;
  std::wstring list;  // the buffer up to the zero that ends the list
};

Read ReadSection(const std::wstring& file, const std::wstring& section, size_t capacity) {
  // Sentinels on both sides show writes outside the buffer.
  std::vector<wchar_t> guarded(capacity + 2, L'#');
  wchar_t* buf = guarded.data() + 1;
  size_t n = zor::PlatformHost().ReadProfileSection(file, section, buf, capacity);
  EXPECT_EQ(guarded.front(), L'#') << "wrote before the buffer";
  EXPECT_EQ(guarded.back(), L'#') << "wrote past the buffer";
  size_t end = 0;
  while (end < capacity && !(buf[end] == 0 && (end == 0 || buf[end - 1] == 0))) ++end;
  return {n, std::wstring(buf, end < capacity ? end + 1 : capacity)};
}

const std::string kMixed =
    "; a comment before any section\r\n"
    "outside=before the first section\r\n"
    "[Other]\r\n"
    "8001=wrong section\r\n"
    "\r\n"
    "[CString]\r\n"
    "  8001 =  Change the window size  \r\n"
    "\t8002\t=\tTabs\t\r\n"
    "8003=a=b=c\r\n"
    "8004 = = starts with equals\r\n"
    "8005=\r\n"
    "8006 =    \r\n"
    "a line without equals\r\n"
    "; a comment=with equals\r\n"
    "   ;an indented comment\r\n"
    "\r\n"
    "   \r\n"
    "8007=value ; not a comment\r\n"
    "#8008=hash is no comment\r\n"
    "=no key\r\n"
    "[Last]\r\n"
    "9000=after\r\n";

TEST_F(ProfileSection, LineForms) {
  std::wstring file = Write("mixed.ini", kMixed);
  const std::wstring want = Lines({L"8001=Change the window size", L"8002=Tabs", L"8003=a=b=c",
                                   L"8004== starts with equals", L"8005=", L"8006=", L"a line without equals",
                                   L"8007=value ; not a comment", L"#8008=hash is no comment", L"=no key"});
  Read r = ReadSection(file, L"CString", 4096);
  EXPECT_EQ(r.result, want.size() - 1);
  EXPECT_EQ(Show(r.list), Show(want));
}

TEST_F(ProfileSection, FindsSectionsWhateverTheirCase) {
  std::wstring file = Write("case.ini", kMixed);
  struct Case {
    const wchar_t* section;
    std::wstring want;
  };
  const Case cases[] = {
      {L"cstring", Lines({L"8001=Change the window size"})},
      {L"CSTRING", Lines({L"8001=Change the window size"})},
      {L"other", Lines({L"8001=wrong section"})},
      {L"LAST", Lines({L"9000=after"})},
  };
  for (const Case& c : cases) {
    Read r = ReadSection(file, c.section, 4096);
    // Only the first line matters here; LineForms checks the rest.
    std::wstring first = r.list.substr(0, r.list.find(L'\0') + 1) + L'\0';
    EXPECT_EQ(Show(first), Show(c.want)) << Show(c.section);
  }
}

TEST_F(ProfileSection, MissingSectionOrFileGivesAnEmptyList) {
  std::wstring file = Write("few.ini", "[Bitmap]\r\n1=a.bmp\r\n");
  struct Case {
    std::wstring file;
    const wchar_t* section;
  };
  const Case cases[] = {
      {file, L"CString"},
      {file, L"Bitmap2"},
      {file, L"Bitma"},
      {PathOf("missing.ini"), L"Bitmap"},
      {PathOf("no such folder") + L"\\x.ini", L"Bitmap"},
  };
  for (const Case& c : cases) {
    Read r = ReadSection(c.file, c.section, 64);
    EXPECT_EQ(r.result, 0u) << Show(c.file) << " [" << Show(c.section) << "]";
    EXPECT_EQ(Show(r.list), Show(Lines({}))) << Show(c.file) << " [" << Show(c.section) << "]";
  }
}

TEST_F(ProfileSection, SmallBufferTruncatesTheLastLine) {
  std::wstring file = Write("small.ini", "[S]\r\nabc=defgh\r\nxy=z\r\n");
  // The whole list "abc=defgh|xy=z||" takes 16 characters; the result does
  // not count the last zero.
  struct Case {
    size_t capacity;
    size_t result;
    std::wstring list;
  };
  const Case cases[] = {
      {64, 15, Lines({L"abc=defgh", L"xy=z"})},
      {17, 15, Lines({L"abc=defgh", L"xy=z"})},
      // A list that fills the buffer exactly is reported as cut short.
      {16, 14, Lines({L"abc=defgh", L"xy=z"})},
      {15, 13, std::wstring(L"abc=defgh\0xy=\0\0", 15)},
      {13, 11, std::wstring(L"abc=defgh\0x\0\0", 13)},
      {11, 9, std::wstring(L"abc=defgh\0\0", 11)},
      {10, 8, std::wstring(L"abc=defg\0\0", 10)},
      {5, 3, std::wstring(L"abc\0\0", 5)},
      {4, 2, std::wstring(L"ab\0\0", 4)},
      {3, 1, std::wstring(L"a\0\0", 3)},
      {2, 0, Lines({})},
      {1, 0, Lines({})},
      {0, 0, L""},
  };
  for (const Case& c : cases) {
    Read r = ReadSection(file, L"S", c.capacity);
    EXPECT_EQ(r.result, c.result) << "capacity " << c.capacity;
    EXPECT_EQ(Show(r.list), Show(c.list)) << "capacity " << c.capacity;
  }
}

// Files shaped in ways editors and old tools produce, one small file each.
TEST_F(ProfileSection, UnusualFiles) {
  struct Case {
    const char* name;
    std::string bytes;
    const wchar_t* section;
    std::wstring want;
  };
  const Case cases[] = {
      {"cr-only", "[S]\ra=1\rb=2\r[T]\rc=3\r", L"S", Lines({L"a=1", L"b=2"})},
      {"mixed-ends", "[S]\n\ra=1\r\r\nb=2\n", L"S", Lines({L"a=1", L"b=2"})},
      {"lf-no-last-end", "[S]\na=1\nb=2", L"S", Lines({L"a=1", L"b=2"})},
      {"ctrl-z", "[S]\r\na=1\x1A\r\n\x1A\r\n\x1A" "b=2\r\n", L"S", Lines({L"a=1", L"b=2"})},
      {"blanks-in-header", "[ S\t]\r\na=1\r\n", L"S", Lines({L"a=1"})},
      {"blanks-in-request", "[ S ]\r\na=1\r\n", L" S ", Lines({})},
      {"text-after-header", "[S] trailing\r\na=1\r\n", L"S", Lines({L"a=1"})},
      {"bracket-in-name", "[S]x]\r\na=1\r\n", L"S]x", Lines({L"a=1"})},
      {"unclosed-header", "[S\r\na=1\r\n[T]\r\nb=2\r\n", L"S", Lines({})},
      {"first-of-duplicates", "[S]\r\na=1\r\n[T]\r\nb=2\r\n[s]\r\nc=3\r\n", L"S", Lines({L"a=1"})},
      {"empty-section", "[S]\r\n[T]\r\na=1\r\n", L"S", Lines({})},
      {"before-any-header", "a=1\r\n[S]\r\nb=2\r\n", L"", Lines({L"a=1"})},
      // Of consecutive lines without a name only the first stays; blank
      // lines do not separate them, any named line does.
      {"nameless-lines", "[S]\r\n=a\r\n=b\r\nk\r\n=c\r\n\r\n=d\r\n;x\r\n=e\r\n=\r\n", L"S",
       Lines({L"=a", L"k", L"=c", L"=e"})},
      {"zero-bytes", Raw("[S]\r\na=1\r\nb\0c=2\r\n\0\r\nd=4\0x\r\n"), L"S",
       Lines({L"a=1", L"b=2", L"d=4"})},
      // Without a byte-order mark a file is 8-bit text in the ANSI code page
      // (Windows-1252 here), even when it is valid UTF-8.
      {"ansi", "[S]\r\na=caf\xE9 \x80\x9F\r\nb=caf\xC3\xA9\r\n", L"S",
       Lines({L"a=caf\u00E9 \u20AC\u0178", L"b=caf\u00C3\u00A9"})},
      {"utf16be", Raw("\xFE\xFF\0[\0S\0]\0\n\0k\0=\x4E\x2D"), L"S", Lines({L"k=\u4E2D"})},
      {"utf16-without-bom", Raw("[\0S\0]\0\n\0k\0=\0v\0"), L"S", Lines({})},
  };
  for (const Case& c : cases) {
    std::wstring file = Write(std::string(c.name) + ".ini", c.bytes);
    Read r = ReadSection(file, c.section, 256);
    EXPECT_EQ(Show(r.list), Show(c.want)) << c.name;
    EXPECT_EQ(r.result, c.want.size() > 1 ? c.want.size() - 1 : 0) << c.name;
  }
}

TEST_F(ProfileSection, TextEncodings) {
  const std::wstring text = L"[Strings]\r\n2052=\u4E2D\u6587\r\n1036=Fran\u00E7ais\r\n";
  const std::wstring want = Lines({L"2052=\u4E2D\u6587", L"1036=Fran\u00E7ais"});
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"utf16le.ini", Utf16LeWithBom(text)},
      {"utf16le-lf.ini", Utf16LeWithBom(L"[Strings]\n2052=\u4E2D\u6587\n1036=Fran\u00E7ais")},
      {"utf8bom.ini", "\xEF\xBB\xBF" + zor::ToUtf8(text)},
  };
  for (const Case& c : cases) {
    std::wstring file = Write(c.name, c.bytes);
    Read r = ReadSection(file, L"strings", 256);
    EXPECT_EQ(r.result, want.size() - 1) << c.name;
    EXPECT_EQ(Show(r.list), Show(want)) << c.name;
  }
}

}  // namespace
