// The version reader on images built in the test: what it finds in sound
// files, and that damaged or cut files give "no value" without reading a byte
// outside the buffer (the sanitizer build checks the latter).
#include "renderer/version_probe.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/unit/renderer/pe_builder.h"

using namespace zortest;

namespace {

const StringPairs kOurStrings = {
    {u"CompanyName", u"Tarvex"},
    {u"FileDescription", u"Tarvex Orbiscene image buffers"},
    {u"InternalName", u"DevIL"},
    {u"ProductName", u"Tarvex Orbiscene runtime"},
};

PeLayout OurLibrary(bool pe32Plus = false) {
  return BuildPe(VersionInfo({StringTable(u"000004b0", kOurStrings)}), pe32Plus);
}

// Reads from a heap block of exactly the image's size, so that any read past
// the end is an overflow the sanitizer reports.
std::optional<std::wstring> Read(const PeBytes& bytes, size_t size, const std::wstring& key) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[size == 0 ? 1 : size]);
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size), copy.get());
  return zor::ReadVersionString(size == 0 ? nullptr : copy.get(), size, key);
}
std::optional<std::wstring> Read(const PeBytes& bytes, const std::wstring& key) {
  return Read(bytes, bytes.size(), key);
}

}  // namespace

TEST(VersionProbe, ReadsStringsOfBothImageKinds) {
  for (bool pe32Plus : {false, true}) {
    SCOPED_TRACE(pe32Plus ? "PE32+" : "PE32");
    PeLayout pe = OurLibrary(pe32Plus);
    EXPECT_EQ(Read(pe.bytes, L"CompanyName"), L"Tarvex");
    EXPECT_EQ(Read(pe.bytes, L"FileDescription"), L"Tarvex Orbiscene image buffers");
    EXPECT_EQ(Read(pe.bytes, L"InternalName"), L"DevIL");
    EXPECT_EQ(Read(pe.bytes, L"ProductName"), L"Tarvex Orbiscene runtime");
    // Keys compare as the system's version API compares them.
    EXPECT_EQ(Read(pe.bytes, L"companyname"), L"Tarvex");
    EXPECT_EQ(Read(pe.bytes, L"LegalCopyright"), std::nullopt);
    EXPECT_EQ(Read(pe.bytes, L"Company"), std::nullopt);
    EXPECT_TRUE(zor::IsOurRendererLibrary(reinterpret_cast<const uint8_t*>(pe.bytes.data()), pe.bytes.size()));
  }
}

TEST(VersionProbe, SearchesEveryStringTableAndTheFirstHolderWins) {
  PeBytes info = VersionInfo({
      StringTable(u"040904b0", {{u"CompanyName", u"Tarvex"}, {u"Comments", u""}}),
      StringTable(u"040704b0", {{u"CompanyName", u"Tarvex GmbH"}, {u"ProductName", u"Zw\u00f6lf \U0001F4BE"}}),
  });
  PeLayout pe = BuildPe(info, false);
  EXPECT_EQ(Read(pe.bytes, L"CompanyName"), L"Tarvex");
  EXPECT_EQ(Read(pe.bytes, L"ProductName"), L"Zw\u00f6lf \U0001F4BE");
  EXPECT_EQ(Read(pe.bytes, L"Comments"), L"");
}

TEST(VersionProbe, RecognisesOnlyOurCompanyAndProductTogether) {
  struct Case {
    const char* name;
    StringPairs strings;
    bool ours;
  };
  const Case cases[] = {
      {"ours", kOurStrings, true},
      {"other company", {{u"CompanyName", u"Someone"}, {u"ProductName", u"Tarvex Orbiscene runtime"}}, false},
      {"other product", {{u"CompanyName", u"Tarvex"}, {u"ProductName", u"Tarvex Lumaglimpse"}}, false},
      {"product only", {{u"ProductName", u"Tarvex Orbiscene runtime"}}, false},
      {"case differs", {{u"CompanyName", u"TARVEX"}, {u"ProductName", u"Tarvex Orbiscene runtime"}}, false},
      {"no strings", {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PeLayout pe = BuildPe(VersionInfo({StringTable(u"000004b0", c.strings)}), true);
    EXPECT_EQ(zor::IsOurRendererLibrary(pe.bytes.data(), pe.bytes.size()), c.ours);
  }
  const std::string notAnImage = "MZ this is a text file, not a library";
  EXPECT_FALSE(zor::IsOurRendererLibrary(notAnImage));
  EXPECT_FALSE(zor::IsOurRendererLibrary(std::string_view()));
}

TEST(VersionProbe, AnyCutOfTheFileReadsNothing) {
  // The resource section ends the file, so every cut loses part of it.
  for (bool pe32Plus : {false, true}) {
    PeLayout pe = OurLibrary(pe32Plus);
    for (size_t size = 0; size < pe.bytes.size(); ++size)
      ASSERT_EQ(Read(pe.bytes, size, L"ProductName"), std::nullopt) << size;
    EXPECT_EQ(Read(pe.bytes, L"ProductName"), L"Tarvex Orbiscene runtime");
  }
}

TEST(VersionProbe, DamagedImagesReadNothing) {
  struct Case {
    const char* name;
    std::function<void(PeLayout&)> damage;
  };
  const Case cases[] = {
      {"not MZ", [](PeLayout& l) { l.bytes[1] = 'X'; }},
      {"PE header past the end", [](PeLayout& l) { PutU32(l.bytes, 0x3C, static_cast<uint32_t>(l.bytes.size())); }},
      {"PE header offset wraps", [](PeLayout& l) { PutU32(l.bytes, 0x3C, 0xFFFFFFFE); }},
      {"no PE signature", [](PeLayout& l) { l.bytes[l.peHeader + 1] = 'F'; }},
      {"unknown optional header", [](PeLayout& l) { PutU16(l.bytes, l.optionalHeader, 0x107); }},
      {"no resource directory entry", [](PeLayout& l) { PutU32(l.bytes, l.resourceEntry - 2 * 8 - 4, 2); }},
      {"optional header too short",
       [](PeLayout& l) { PutU16(l.bytes, l.peHeader + 20, static_cast<uint32_t>(l.resourceEntry - l.optionalHeader)); }},
      {"resource address zero", [](PeLayout& l) { PutU32(l.bytes, l.resourceEntry, 0); }},
      {"resource address outside the sections", [](PeLayout& l) { PutU32(l.bytes, l.resourceEntry, 0x80000); }},
      {"resource address near the top", [](PeLayout& l) { PutU32(l.bytes, l.resourceEntry, 0xFFFFFFF0); }},
      {"no sections", [](PeLayout& l) { PutU16(l.bytes, l.peHeader + 6, 0); }},
      {"too many sections", [](PeLayout& l) { PutU16(l.bytes, l.peHeader + 6, 0xFFFF); }},
      {"section data past the end",
       [](PeLayout& l) { PutU32(l.bytes, l.sectionHeader + 20, static_cast<uint32_t>(l.bytes.size())); }},
      {"section data offset wraps", [](PeLayout& l) { PutU32(l.bytes, l.sectionHeader + 20, 0xFFFFFFFF); }},
      {"directory claims countless entries",
       [](PeLayout& l) {
         // None of them the version type: the search runs off the section.
         PutU32(l.bytes, l.typeEntry, 3);
         PutU16(l.bytes, l.resourceSection + 12, 0xFFFF);
         PutU16(l.bytes, l.resourceSection + 14, 0xFFFF);
       }},
      {"no version type", [](PeLayout& l) { PutU32(l.bytes, l.typeEntry, 3); }},
      {"version type is a name", [](PeLayout& l) { PutU32(l.bytes, l.typeEntry, 0x80000010); }},
      {"version type is not a directory", [](PeLayout& l) { PutU32(l.bytes, l.typeEntry + 4, 0x18); }},
      {"directory points at itself", [](PeLayout& l) { PutU32(l.bytes, l.typeEntry + 4, 0x80000000); }},
      {"directory offset past the section", [](PeLayout& l) { PutU32(l.bytes, l.typeEntry + 4, 0xFFFFFFFF); }},
      {"data size past the section", [](PeLayout& l) { PutU32(l.bytes, l.dataEntry + 4, 0x10000); }},
      {"data size wraps", [](PeLayout& l) { PutU32(l.bytes, l.dataEntry + 4, 0xFFFFFFFF); }},
      {"data address outside", [](PeLayout& l) { PutU32(l.bytes, l.dataEntry, 0x20); }},
      {"root length zero", [](PeLayout& l) { PutU16(l.bytes, l.versionInfo, 0); }},
      {"root longer than the resource", [](PeLayout& l) { PutU16(l.bytes, l.versionInfo, 0xFFFF); }},
      {"root has another key", [](PeLayout& l) { l.bytes[l.versionInfo + 6] = 'W'; }},
      {"fixed information longer than the root", [](PeLayout& l) { PutU16(l.bytes, l.versionInfo + 2, 0xFFF0); }},
      {"string file information cut short",
       [](PeLayout& l) {
         // The first child of the root: after the 6-byte header, the
         // 16-unit key and the 52-byte fixed information.
         PutU16(l.bytes, l.versionInfo + 92, 4);
       }},
      {"string file information overruns the root",
       [](PeLayout& l) { PutU16(l.bytes, l.versionInfo + 92, 0xFFFF); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool pe32Plus : {false, true}) {
      PeLayout pe = OurLibrary(pe32Plus);
      c.damage(pe);
      EXPECT_EQ(Read(pe.bytes, L"ProductName"), std::nullopt);
    }
  }
}

TEST(VersionProbe, OverstatedSizesReadOnlyWhatTheFileHolds) {
  // Claims larger than the file do not matter as long as the bytes read are
  // there; they must not lead the reader past the end either.
  struct Case {
    const char* name;
    std::function<void(PeLayout&)> damage;
  };
  const Case cases[] = {
      {"section size wraps", [](PeLayout& l) { PutU32(l.bytes, l.sectionHeader + 16, 0xFFFFFFFF); }},
      {"resource directory size wraps", [](PeLayout& l) { PutU32(l.bytes, l.resourceEntry + 4, 0xFFFFFFFF); }},
      {"directory claims more entries than follow",
       [](PeLayout& l) {
         PutU16(l.bytes, l.resourceSection + 12, 0xFFFF);
         PutU16(l.bytes, l.resourceSection + 14, 0xFFFF);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PeLayout pe = OurLibrary();
    c.damage(pe);
    EXPECT_EQ(Read(pe.bytes, L"ProductName"), L"Tarvex Orbiscene runtime");
  }
}

TEST(VersionProbe, UnterminatedTextEndsAtItsBlock) {
  // A value without its terminating zero runs to the end of its block and no
  // further; a key without one swallows the block and matches nothing.
  PeBytes info = VersionInfo({StringTable(u"000004b0", {{u"ProductName", u"Orbit"}, {u"CompanyName", u"Tarvex"}})});
  PeLayout pe = BuildPe(info, false);
  size_t value = 0;
  for (size_t i = pe.versionInfo; i + 10 <= pe.bytes.size(); ++i) {
    if (pe.bytes[i] == 'O' && pe.bytes[i + 2] == 'r' && pe.bytes[i + 4] == 'b') value = i;
  }
  ASSERT_NE(value, 0u);
  // "Orbit" fills 10 bytes; its zero and the block end right after it.
  pe.bytes[value + 10] = 'X';
  EXPECT_EQ(Read(pe.bytes, L"ProductName"), L"OrbitX");
  EXPECT_EQ(Read(pe.bytes, L"CompanyName"), L"Tarvex");
}
