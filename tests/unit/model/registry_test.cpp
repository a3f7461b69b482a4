#include "model/registry.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/testhost/test_host.h"
#include "tests/unit/model/bytes.h"
#include "tests/unit/model/round_trip.h"

using namespace zortest;

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                         void (*free_hook)(const volatile void*));
#endif

namespace {

// The largest single allocation made while `fn` runs, where the sanitizer
// runtime can report it; -1 where it cannot.
long long LargestAllocationDuring(const std::function<void()>& fn) {
#if defined(__SANITIZE_ADDRESS__)
  static size_t largest = 0;
  static bool watching = false;
  static const int installed = __sanitizer_install_malloc_and_free_hooks(
      [](const volatile void*, size_t size) {
        if (watching && size > largest) largest = size;
      },
      [](const volatile void*) {});
  if (installed) {
    largest = 0;
    watching = true;
    fn();
    watching = false;
    return static_cast<long long>(largest);
  }
#endif
  fn();
  return -1;
}

constexpr uint32_t kHklm = zor::kHkeyLocalMachine;
const wchar_t kKey[] = L"SOFTWARE\\Tarvex\\Test";

CRegistryValue* NewValue(std::vector<uint8_t> data, int32_t deleteFlag = 0) {
  auto* v = new CRegistryValue;
  v->SetRootKey(kHklm);
  v->SetKeyPath(kKey);
  v->SetValueName(L"Lang");
  v->SetValueType(zor::kRegDword);
  v->SetData(std::move(data));
  v->SetDeleteFlag(deleteFlag);
  return v;
}

const std::vector<uint8_t> kOld = {9, 9};
const std::vector<uint8_t> kNew = {1, 0, 0, 0};

}  // namespace

TEST(RegistryValue, StoredFormAndRoundTrip) {
  std::unique_ptr<CRegistryValue> v(NewValue({0xAB, 0xCD, 0xEF}, 1));
  v->SetSecondFlag(2);
  EXPECT_EQ(StoreRecord(*v), Cat({Str(kKey), Str(L"Lang"), Int(3), Int(zor::kRegDword), Int(1), Int(2),
                                  B({0xAB, 0xCD, 0xEF})}));
  auto back = RoundTrip(*v);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetRootKey(), 0u);  // not stored
  uint32_t size = 0;
  const uint8_t* data = back->GetData(&size);
  ASSERT_EQ(size, 3u);
  EXPECT_EQ(std::vector<uint8_t>(data, data + size), (std::vector<uint8_t>{0xAB, 0xCD, 0xEF}));
  EXPECT_EQ(back->GetSecondFlag(), 2);
}

TEST(RegistryValue, HostileDataSizeEndsTheLoadBeforeAllocating) {
  // A size claim of nearly 4 GiB in front of three bytes.
  Bytes bytes = Cat({Str(kKey), Str(L"Lang"), Int(static_cast<int32_t>(0xFFFFFFF0u)), Int(4), Int(0), Int(0),
                     B({1, 2, 3})});
  CRegistryValue v;
  CArchiveException::Cause cause = CArchiveException::none;
  long long largest =
      LargestAllocationDuring([&] { cause = Load(bytes, [&](CArchive& ar) { v.Serialize(ar); }); });
  EXPECT_EQ(cause, CArchiveException::endOfFile);
  EXPECT_LT(largest, 1 << 20) << "the claimed size was reserved";
  uint32_t size = 7;
  EXPECT_EQ(v.GetData(&size), nullptr);
  EXPECT_EQ(size, 0u);
  // One byte short is refused the same way.
  Bytes shortBy1 = Cat({Str(kKey), Str(L"Lang"), Int(4), Int(4), Int(0), Int(0), B({1, 2, 3})});
  EXPECT_EQ(Load(shortBy1, [&](CArchive& ar) { v.Serialize(ar); }), CArchiveException::endOfFile);
}

TEST(RegistryValue, DataBlockAndSizeAlwaysAgree) {
  CRegistryValue v;
  EXPECT_EQ(v.GetData(nullptr), nullptr);
  v.SetData("abcd", 4);
  v.SetDataSize(2);
  EXPECT_EQ(StoreRecord(v), Cat({Str(L""), Str(L""), Int(2), Int(0), Int(0), Int(0), B({'a', 'b'})}));
  v.SetDataSize(3);
  EXPECT_EQ(StoreRecord(v), Cat({Str(L""), Str(L""), Int(3), Int(0), Int(0), Int(0), B({'a', 'b', 0})}));
  v.SetData(nullptr, 5);
  EXPECT_EQ(v.GetDataSize(), 0u);
}

TEST(RegistryValue, ApplyAndRemoveThroughTheHost) {
  using Host = zor::TestHost;
  struct Case {
    const char* what;
    std::function<void(Host&)> before;  // registry and failure switches
    std::function<void(CRegistryValue&)> edit;
    bool remove;  // call RemoveValue instead of ApplyValue
    int result;
    std::optional<std::vector<uint8_t>> after;  // the value afterwards
    bool keyAfter;
  };
  auto existing = [](Host& h) { h.SetRegValue(kHklm, kKey, L"Lang", zor::kRegBinary, kOld); };
  auto nothing = [](Host&) {};
  auto keep = [](CRegistryValue&) {};
  const Case cases[] = {
      {"missing key is created first", nothing, keep, false, 1, kNew, true},
      {"existing value is replaced", existing, keep, false, 1, kNew, true},
      {"delete flag removes", existing, [](CRegistryValue& v) { v.SetDeleteFlag(1); }, false, 1, std::nullopt, true},
      {"remove", existing, keep, true, 1, std::nullopt, true},
      {"data size 0 is not written", nothing, [](CRegistryValue& v) { v.SetDataSize(0); }, false, 0, std::nullopt,
       false},
      {"data size 0 is not removed", existing,
       [](CRegistryValue& v) {
         v.SetDataSize(0);
         v.SetDeleteFlag(1);
       },
       false, 0, kOld, true},
      {"data size 0 is not removed directly", existing, [](CRegistryValue& v) { v.SetDataSize(0); }, true, 0, kOld,
       true},
      {"root 0 is refused", nothing, [](CRegistryValue& v) { v.SetRootKey(0); }, false, 0, std::nullopt, false},
      {"empty key path", nothing, [](CRegistryValue& v) { v.SetKeyPath(L""); }, false, 0, std::nullopt, false},
      {"empty value name", existing, [](CRegistryValue& v) { v.SetValueName(L""); }, false, 0, kOld, true},
      {"create fails", [](Host& h) { h.failRegCreate = true; }, keep, false, 0, std::nullopt, false},
      {"set fails",
       [&](Host& h) {
         existing(h);
         h.failRegSet = true;
       },
       keep, false, 0, kOld, true},
      {"delete fails",
       [&](Host& h) {
         existing(h);
         h.failRegDelete = true;
       },
       keep, true, 0, kOld, true},
      {"removing from a missing key neither succeeds nor creates it", nothing, keep, true, 0, std::nullopt, false},
  };
  for (const Case& c : cases) {
    Host host;
    zor::ScopedHost scope(&host);
    c.before(host);
    std::unique_ptr<CRegistryValue> v(NewValue(kNew));
    c.edit(*v);
    EXPECT_EQ(c.remove ? v->RemoveValue() : v->ApplyValue(), c.result) << c.what;
    auto got = host.GetRegValue(kHklm, kKey, L"Lang");
    EXPECT_EQ(got.has_value(), c.after.has_value()) << c.what;
    if (got && c.after) {
      EXPECT_EQ(got->data, *c.after) << c.what;
    }
    EXPECT_EQ(host.HasRegKey(kHklm, kKey), c.keyAfter) << c.what;
  }
}

TEST(RegistryTable, NameFirstThenValuesAndRootSetAfterLoading) {
  CRegistryTable t;
  t.SetName(L"Englisth Registry Table");
  CRegistryValue* v = NewValue(kNew);
  EXPECT_TRUE(t.AddValue(v));
  EXPECT_FALSE(t.AddValue(nullptr));
  EXPECT_EQ(StoreRecord(t), Cat({Str(L"Englisth Registry Table"), Word(1), ClassRecord("CRegistryValue"),
                                 StoreRecord(*v)}));

  auto back = RoundTrip(t);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->GetValues().GetCount(), 1u);
  zor::TestHost host;
  zor::ScopedHost scope(&host);
  CRegistryValue* loaded = back->GetValues().GetHead();
  EXPECT_EQ(loaded->ApplyValue(), 0);  // no root yet
  back->SetRootKey(zor::kHkeyCurrentUser);
  EXPECT_EQ(loaded->ApplyValue(), 1);
  EXPECT_TRUE(host.GetRegValue(zor::kHkeyCurrentUser, kKey, L"Lang"));

  CRegistryValue stranger;
  EXPECT_FALSE(back->RemoveValue(&stranger));
  EXPECT_TRUE(back->RemoveValue(loaded));
  EXPECT_TRUE(back->GetValues().IsEmpty());
}

TEST(RegistryTable, HostileValueLeavesNothingBehind) {
  Bytes bytes = Cat({Str(L"t"), Word(1), ClassRecord("CRegistryValue"), Str(L"k"), Str(L"n"), Int(0x7FFFFFFF),
                     Int(1), Int(0), Int(0)});
  CRegistryTable t;
  EXPECT_EQ(Load(bytes, [&](CArchive& ar) { t.Serialize(ar); }), CArchiveException::endOfFile);
  EXPECT_TRUE(t.GetValues().IsEmpty());
}

TEST(RegistryFile, StoresNameThenTheEmbeddedFile) {
  CRegistryFile f;
  f.SetName(L"product.reg");
  f.GetFile().SetSourcePath(L"C:\\b\\product.reg");
  f.GetFile().SetName(L"product.reg");
  EXPECT_EQ(StoreRecord(f), Cat({Str(L"product.reg"), StoreRecord(f.GetFile())}));
  auto back = RoundTrip(f);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetFile().GetSourcePath(), L"C:\\b\\product.reg");
}
