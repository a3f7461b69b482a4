#include "model/archive.h"

#include "common/wstr.h"

#include <gtest/gtest.h>

#include "model/file_object.h"
#include "model/obtree.h"
#include "model/predefined_folder.h"
#include "platform/testhost/test_host.h"
#include "tests/unit/model/bytes.h"
#include "tests/unit/model/heap_peak.h"

using namespace zortest;

TEST(ArchiveString, StoredForms) {
  struct Case {
    std::wstring text;
    Bytes prefix;  // bytes before the code units
  };
  const Case cases[] = {
      {L"", B({0xFF, 0xFE, 0xFF, 0x00})},
      {L"c:", B({0xFF, 0xFE, 0xFF, 0x02})},
      {std::wstring(254, L'x'), B({0xFF, 0xFE, 0xFF, 0xFE})},
      {std::wstring(255, L'x'), B({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00})},
      {std::wstring(65533, L'x'), B({0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF})},
      {std::wstring(65534, L'x'), B({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
  };
  for (const Case& c : cases) {
    Bytes got = Store([&](CArchive& ar) { ar.WriteString(c.text); });
    ASSERT_EQ(got.size(), c.prefix.size() + 2 * c.text.size()) << c.text.size();
    EXPECT_EQ(Bytes(got.begin(), got.begin() + static_cast<long>(c.prefix.size())), c.prefix) << c.text.size();
    std::wstring back = L"previous";
    EXPECT_EQ(Load(got, [&](CArchive& ar) { ar.ReadString(back); }), CArchiveException::none);
    EXPECT_EQ(back, c.text);
  }
  EXPECT_EQ(Store([](CArchive& ar) { ar.WriteString(L"c:"); }), B({0xFF, 0xFE, 0xFF, 0x02, 0x63, 0x00, 0x3A, 0x00}));
}

TEST(ArchiveString, ReadsEightBitAndLongForms) {
  std::wstring s;
  EXPECT_EQ(Load(B({0x03, 'a', 'b', 'c'}), [&](CArchive& ar) { ar.ReadString(s); }), CArchiveException::none);
  EXPECT_EQ(s, L"abc");
  // 8-bit form with a WORD length.
  Bytes eight = Cat({B({0xFF}), Word(300), Bytes(300, 'q')});
  EXPECT_EQ(Load(eight, [&](CArchive& ar) { ar.ReadString(s); }), CArchiveException::none);
  EXPECT_EQ(s, std::wstring(300, L'q'));
  // UTF-16 with a DWORD length, then the 8-byte length form.
  Bytes dword = Cat({B({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}), Int(2), B({'h', 0, 'i', 0})});
  EXPECT_EQ(Load(dword, [&](CArchive& ar) { ar.ReadString(s); }), CArchiveException::none);
  EXPECT_EQ(s, L"hi");
  Bytes qword = Cat({B({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}), Int(-1), Int(1), Int(0), B({'z', 0})});
  EXPECT_EQ(Load(qword, [&](CArchive& ar) { ar.ReadString(s); }), CArchiveException::none);
  EXPECT_EQ(s, L"z");
}

TEST(ArchiveString, EightBitStringsAreInTheWesternCodePage) {
  // The platform's own host decodes them: Windows' code page under Wine, the
  // same table natively.
  std::wstring s;
  EXPECT_EQ(Load(B({0x05, 'a', 0x80, 0x8D, 0x9F, 0xE9}), [&](CArchive& ar) { ar.ReadString(s); }),
            CArchiveException::none);
  EXPECT_EQ(s, L"a\u20AC\u008D\u0178\u00E9");
}

TEST(ArchiveString, NonBmpCharactersRoundTripAsSurrogatePairs) {
  std::wstring text = L"a";
  text.push_back(static_cast<wchar_t>(0xD83D));
  text.push_back(static_cast<wchar_t>(0xDE00));
  std::u16string units = u"a\U0001F600";
  Bytes got = Store([&](CArchive& ar) { ar.WriteString(zor::FromUtf16(units)); });
  EXPECT_EQ(got, B({0xFF, 0xFE, 0xFF, 0x03, 'a', 0, 0x3D, 0xD8, 0x00, 0xDE}));
  std::wstring back;
  Load(got, [&](CArchive& ar) { ar.ReadString(back); });
  EXPECT_EQ(zor::ToUtf16(back), units);
}

TEST(ArchiveString, LongStringsDecodeTheSameAcrossPieces) {
  // Strings are decoded piece by piece; a surrogate pair or a two-byte
  // character across the border of two pieces must come out as if read at
  // once.
  std::u16string pairAtBorder(2047, u'x');
  pairAtBorder += u"\U0001F600tail";
  std::u16string lone(2047, u'y');
  lone += static_cast<char16_t>(0xD83D);
  lone += u'z';
  lone += static_cast<char16_t>(0xDE00);
  lone += static_cast<char16_t>(0xD800);
  for (const std::u16string& units : {pairAtBorder, lone}) {
    Bytes stored = Cat({B({0xFF, 0xFE, 0xFF, 0xFF}), Word(static_cast<uint16_t>(units.size()))});
    for (char16_t u : units) stored.insert(stored.end(), {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8)});
    std::wstring back;
    ASSERT_EQ(Load(stored, [&](CArchive& ar) { ar.ReadString(back); }), CArchiveException::none);
    EXPECT_EQ(back, zor::FromUtf16(units)) << units.size();
  }

  // A code page whose bytes from 0x81 on lead a two-byte character.
  struct TwoByteHost : zor::TestHost {
    std::wstring AnsiToWide(std::string_view text) override {
      std::wstring out;
      for (size_t i = 0; i < text.size(); ++i) {
        auto b = static_cast<uint8_t>(text[i]);
        if (b >= 0x81 && i + 1 < text.size())
          out.push_back(static_cast<wchar_t>(b << 8 | static_cast<uint8_t>(text[++i])));
        else
          out.push_back(static_cast<wchar_t>(b == 0x81 ? L'?' : b));
      }
      return out;
    }
  } host;
  zor::ScopedHost scope(&host);
  std::string text;
  while (text.size() < 20000) text += text.size() % 3 ? "\x82\x41\x82\x42 " : "\x83\x43" "ab\x84";
  for (const std::string& eight : {text, std::string(9000, '\x82')}) {
    Bytes stored = Cat({B({0xFF}), Word(static_cast<uint16_t>(eight.size()))});
    stored.insert(stored.end(), eight.begin(), eight.end());
    std::wstring back;
    ASSERT_EQ(Load(stored, [&](CArchive& ar) { ar.ReadString(back); }), CArchiveException::none);
    EXPECT_EQ(back, host.AnsiToWide(eight)) << eight.size();
  }
}

TEST(ArchiveString, ALongStringIsHeldOnceAsItLoads) {
  if (!HeapPeak::Available()) GTEST_SKIP() << "no heap counting in this build";
  const size_t units = size_t{4} << 20;
  Bytes stored = Cat({B({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}), Int(static_cast<int32_t>(units))});
  stored.resize(stored.size() + 2 * units, 'a');
  MemoryStream stream(stored.data(), stored.size());
  std::wstring back;
  int64_t peak = HeapPeak::Of([&] {
    CArchive ar(&stream, CArchive::load);
    ar.ReadString(back);
  });
  ASSERT_EQ(back.size(), units);
  const auto decoded = static_cast<int64_t>(units * sizeof(wchar_t));
  EXPECT_LE(peak, decoded + (64 << 10)) << "decoded " << decoded;
}

TEST(ArchiveString, BadLengthsFailBeforeAllocating) {
  std::wstring s;
  struct Case {
    const char* what;
    Bytes bytes;
    CArchiveException::Cause cause;
  };
  const Case cases[] = {
      {"8-bit length past the end", B({0x05, 'a'}), CArchiveException::endOfFile},
      {"huge DWORD length", Cat({B({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}), Int(0x7FFFFFF0)}), CArchiveException::endOfFile},
      {"8-byte length of 2^30", Cat({B({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}), Int(-1), Int(0x40000000), Int(0)}),
       CArchiveException::endOfFile},
      {"8-byte length above 2^31", Cat({B({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}), Int(-1), Int(0), Int(1)}),
       CArchiveException::generic},
      {"cut inside the mark", B({0xFF, 0xFE}), CArchiveException::endOfFile},
      {"empty input", B({}), CArchiveException::endOfFile},
  };
  for (const Case& c : cases) EXPECT_EQ(Load(c.bytes, [&](CArchive& ar) { ar.ReadString(s); }), c.cause) << c.what;
  // 2^31 exactly is already too long for the 8-byte form.
  Bytes two31 = Cat({B({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}), Int(-1), Int(static_cast<int32_t>(0x80000000u)), Int(0)});
  EXPECT_EQ(Load(two31, [&](CArchive& ar) { ar.ReadString(s); }), CArchiveException::generic);
}

TEST(ArchiveCount, BoundaryForms) {
  EXPECT_EQ(Store([](CArchive& ar) { ar.WriteCount(65534); }), B({0xFE, 0xFF}));
  EXPECT_EQ(Store([](CArchive& ar) { ar.WriteCount(65535); }), B({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
  for (uint32_t n : {0u, 1u, 65534u, 65535u, 1000000u}) {
    uint32_t back = 0;
    Bytes b = Store([&](CArchive& ar) { ar.WriteCount(n); });
    Load(b, [&](CArchive& ar) { back = ar.ReadCount(); });
    EXPECT_EQ(back, n);
  }
}

TEST(ArchiveDirection, WrongDirectionIsRefused) {
  MemoryStream out;
  CArchive storing(&out, CArchive::store);
  EXPECT_THROW(
      {
        try {
          storing.ReadDword();
        } catch (const CArchiveException& e) {
          EXPECT_EQ(e.m_cause, CArchiveException::writeOnly);
          throw;
        }
      },
      CArchiveException);
  Bytes none;
  EXPECT_EQ(Load(none, [](CArchive& ar) { ar.WriteDword(1); }), CArchiveException::readOnly);
}

TEST(ArchiveException, CauseNamesInOrder) {
  const char* names[] = {"none", "generic", "readOnly", "endOfFile", "writeOnly", "badIndex", "badClass", "badSchema"};
  for (int i = 0; i < 8; ++i)
    EXPECT_STREQ(CArchiveException::CauseName(static_cast<CArchiveException::Cause>(i)), names[i]);
}

TEST(ArchiveObjects, ClassAndObjectIndicesShareOneCounter) {
  // Two folders: the first brings its class record (class 1, object 2), the
  // second refers to class 1 as WORD 0x8001.
  CPreDefineFolder a(L"a", 1), b(L"b", 2);
  Bytes got = Store([&](CArchive& ar) {
    ar.WriteObject(&a);
    ar.WriteObject(&b);
    ar.WriteObject(nullptr);
  });
  Bytes want = Cat({ClassRecord("CPreDefineFolder"), Str(L"a"), Int(1), B({0x01, 0x80}), Str(L"b"), Int(2), Word(0)});
  EXPECT_EQ(got, want);

  std::unique_ptr<CObject> ra, rb, rn;
  EXPECT_EQ(Load(got,
                 [&](CArchive& ar) {
                   ra.reset(ar.ReadObject());
                   rb.reset(ar.ReadObject());
                   rn.reset(ar.ReadObject());
                 }),
            CArchiveException::none);
  auto* fa = DynamicDowncast<CPreDefineFolder>(ra.get());
  auto* fb = DynamicDowncast<CPreDefineFolder>(rb.get());
  ASSERT_TRUE(fa && fb);
  EXPECT_EQ(fa->GetName(), L"a");
  EXPECT_EQ(fb->GetFolderId(), 2);
  EXPECT_EQ(rn, nullptr);
}

TEST(ArchiveObjects, MalformedReferencesAreRefused) {
  Bytes folder = Cat({ClassRecord("CPreDefineFolder"), Str(L""), Int(-1)});
  struct Case {
    const char* what;
    Bytes bytes;
    CArchiveException::Cause cause;
  };
  const Case cases[] = {
      {"unknown class", Cat({ClassRecord("CNoSuchThing"), Int(0)}), CArchiveException::badClass},
      {"class name differs in case", Cat({ClassRecord("CPredefineFolder"), Int(0)}), CArchiveException::badClass},
      {"class name of 64 bytes", ClassRecord(std::string(64, 'C')), CArchiveException::badClass},
      {"schema 1", Cat({Word(0xFFFF), Word(1), Word(16), Bytes({'C', 'P', 'r', 'e', 'D', 'e', 'f', 'i', 'n', 'e', 'F', 'o',
                                                                  'l', 'd', 'e', 'r'})}),
       CArchiveException::badSchema},
      {"class index never given", B({0x05, 0x80}), CArchiveException::badIndex},
      {"class index 0", B({0x00, 0x80}), CArchiveException::badIndex},
      {"object index never given", B({0x07, 0x00}), CArchiveException::badIndex},
      {"second reference to an object read before", Cat({folder, B({0x02, 0x00})}), CArchiveException::badIndex},
      {"object index used as a class", Cat({folder, B({0x02, 0x80})}), CArchiveException::badIndex},
      {"big class index past the end", Cat({Word(0x7FFF), Int(static_cast<int32_t>(0x80000009u))}),
       CArchiveException::badIndex},
      {"class record cut short", B({0xFF, 0xFF, 0x00, 0x00, 0x10, 0x00, 'C'}), CArchiveException::endOfFile},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Load(c.bytes,
                   [&](CArchive& ar) {
                     for (int i = 0; i < 2; ++i) std::unique_ptr<CObject>(ar.ReadObject());
                   }),
              c.cause)
        << c.what;
  }
}

TEST(ArchiveObjects, ExpectedClassIsEnforced) {
  Bytes folder = Cat({ClassRecord("CPreDefineFolder"), Str(L""), Int(-1)});
  EXPECT_EQ(Load(folder, [](CArchive& ar) { delete ar.ReadObject(RUNTIME_CLASS(CNode)); }), CArchiveException::badClass);
  EXPECT_EQ(Load(folder, [](CArchive& ar) { delete ar.ReadObject(RUNTIME_CLASS(CFileObject)); }),
            CArchiveException::none);
}

TEST(ArchiveObjects, ListLoadingAppendsAndKeepsWhatWasReadBeforeAFailure) {
  CTypedPtrList<CPreDefineFolder> list;
  list.AddTail(new CPreDefineFolder(L"kept", 7));
  Bytes bytes = Cat({Word(3), ClassRecord("CPreDefineFolder"), Str(L"x"), Int(1), B({0x01, 0x80}), Str(L"y"), Int(2),
                     B({0x01, 0x80}), B({0x05})});
  EXPECT_EQ(Load(bytes, [&](CArchive& ar) { list.Serialize(ar); }), CArchiveException::endOfFile);
  ASSERT_EQ(list.GetCount(), 3u);
  EXPECT_EQ(list.GetAt(0)->GetName(), L"kept");
  EXPECT_EQ(list.GetAt(1)->GetName(), L"x");
  EXPECT_EQ(list.GetAt(2)->GetName(), L"y");
}

TEST(ArchiveObjects, HugeListCountFailsBeforeReading) {
  CTypedPtrList<CPreDefineFolder> list;
  Bytes bytes = Cat({Word(0xFFFF), Int(0x7FFFFFFF), Word(0)});
  EXPECT_EQ(Load(bytes, [&](CArchive& ar) { list.Serialize(ar); }), CArchiveException::endOfFile);
  EXPECT_TRUE(list.IsEmpty());
}

TEST(ArchiveObjects, BigIndicesUseTheDwordForm) {
  // After 0x7FFE indices, class references switch to 0x7FFF + DWORD.
  std::vector<std::unique_ptr<CPreDefineFolder>> many;
  for (int i = 0; i < 0x7FFF; ++i) many.emplace_back(new CPreDefineFolder);
  Bytes got = Store([&](CArchive& ar) {
    for (auto& f : many) ar.WriteObject(f.get());
    ar.WriteObject(many[0].get());  // object 2 written before: WORD 2
    ar.WriteObject(many.back().get());  // object index 0x8000: DWORD form
  });
  Bytes tail(got.end() - 8, got.end());
  EXPECT_EQ(tail, Cat({Word(2), Word(0x7FFF), Int(0x8000)}));
}
