// Vizorel.dll loaded straight from the build folder: its class factory, its
// frame source and its registration.
#include <gtest/gtest.h>
#include <windows.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "common/registry.h"
#include "vizorel/vizorel.h"

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using PlainFn = HRESULT(STDAPICALLTYPE*)();

class VizorelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryW(L"Vizorel.dll");
    ASSERT_NE(module_, nullptr) << "Vizorel.dll must lie beside the test program";
    getClassObject_ = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    canUnloadNow_ = Export("DllCanUnloadNow");
    register_ = Export("DllRegisterServer");
    unregister_ = Export("DllUnregisterServer");
    ASSERT_TRUE(getClassObject_ && canUnloadNow_ && register_ && unregister_);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  PlainFn Export(const char* name) {
    return reinterpret_cast<PlainFn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  IVizorelFrameSource* Create() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(getClassObject_(vizorel::kClsidFrameSource, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
              S_OK);
    if (!factory) return nullptr;
    IVizorelFrameSource* source = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, vizorel::kIidFrameSource, reinterpret_cast<void**>(&source)), S_OK);
    factory->Release();
    return source;
  }

  HMODULE module_ = nullptr;
  GetClassObjectFn getClassObject_ = nullptr;
  PlainFn canUnloadNow_ = nullptr;
  PlainFn register_ = nullptr;
  PlainFn unregister_ = nullptr;
};

TEST_F(VizorelTest, FactoryServesOnlyItsClassAndInterfaces) {
  void* object = reinterpret_cast<void*>(1);
  const CLSID other = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
  EXPECT_EQ(getClassObject_(other, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);

  IClassFactory* factory = nullptr;
  ASSERT_EQ(getClassObject_(vizorel::kClsidFrameSource, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  IUnknown* outer = reinterpret_cast<IUnknown*>(factory);  // any non-null outer object
  object = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);

  IUnknown* unknown = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  IVizorelFrameSource* source = nullptr;
  EXPECT_EQ(unknown->QueryInterface(vizorel::kIidFrameSource, reinterpret_cast<void**>(&source)), S_OK);
  IUnknown* again = nullptr;
  ASSERT_EQ(source->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again)), S_OK);
  EXPECT_EQ(again, unknown);  // one identity
  again->Release();
  source->Release();
  unknown->Release();
  factory->Release();
}

TEST_F(VizorelTest, StaysLoadedWhileObjectsOrLocksLive) {
  EXPECT_EQ(canUnloadNow_(), S_OK);
  IVizorelFrameSource* source = Create();
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  source->Release();
  EXPECT_EQ(canUnloadNow_(), S_OK);

  IClassFactory* factory = nullptr;
  ASSERT_EQ(getClassObject_(vizorel::kClsidFrameSource, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  factory->LockServer(TRUE);
  factory->Release();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  factory->LockServer(FALSE);
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(VizorelTest, SetFormatKeepsTheOldFormatForValuesOutOfRange) {
  IVizorelFrameSource* source = Create();
  ASSERT_NE(source, nullptr);
  struct Case {
    LONG width, height, rate;
    HRESULT expected;
  };
  const Case cases[] = {
      {320, 240, 15, S_OK},          {16, 16, 1, S_OK},           {4096, 4096, 240, S_OK},
      {14, 240, 15, E_INVALIDARG},   {320, 4098, 15, E_INVALIDARG}, {321, 240, 15, E_INVALIDARG},
      {320, 240, 0, E_INVALIDARG},   {320, 240, 241, E_INVALIDARG}, {-320, 240, 15, E_INVALIDARG},
  };
  LONG width = 0, height = 0, rate = 0;
  for (const Case& c : cases) {
    ASSERT_EQ(source->GetFormat(&width, &height, &rate), S_OK);
    EXPECT_EQ(source->SetFormat(c.width, c.height, c.rate), c.expected) << c.width << "x" << c.height << "@" << c.rate;
    LONG w = 0, h = 0, r = 0;
    source->GetFormat(&w, &h, &r);
    if (c.expected == S_OK) {
      EXPECT_EQ(w, c.width);
      EXPECT_EQ(h, c.height);
      EXPECT_EQ(r, c.rate);
    } else {
      EXPECT_EQ(w, width);
      EXPECT_EQ(h, height);
      EXPECT_EQ(r, rate);
    }
  }
  EXPECT_EQ(source->GetFormat(nullptr, &height, &rate), E_POINTER);
  source->Release();
}

TEST_F(VizorelTest, ReadFrameFillsExactlyOneFrameAndRefusesSmallBuffers) {
  IVizorelFrameSource* source = Create();
  ASSERT_NE(source, nullptr);
  ASSERT_EQ(source->SetFormat(32, 16, 30), S_OK);
  ULONG needed = 0;
  EXPECT_EQ(source->ReadFrame(nullptr, 0, &needed), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(needed, 32u * 16u);

  std::vector<BYTE> buffer(needed + 8, 0xEE);
  ULONG written = 0;
  EXPECT_EQ(source->ReadFrame(buffer.data(), needed - 1, &written), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(written, needed);
  EXPECT_EQ(buffer[0], 0xEE);  // nothing written into a short buffer
  EXPECT_EQ(source->ReadFrame(buffer.data(), 8, nullptr), E_POINTER);

  ASSERT_EQ(source->ReadFrame(buffer.data(), static_cast<ULONG>(buffer.size()), &written), S_OK);
  EXPECT_EQ(written, needed);
  EXPECT_EQ(buffer[needed], 0xEE);  // nothing past the frame
  std::vector<BYTE> first(buffer.begin(), buffer.begin() + needed);
  ASSERT_EQ(source->ReadFrame(buffer.data(), needed, &written), S_OK);
  std::vector<BYTE> second(buffer.begin(), buffer.begin() + needed);
  EXPECT_NE(first, second);  // the pattern moves
  ULONG count = 0;
  EXPECT_EQ(source->GetFramesRead(&count), S_OK);
  EXPECT_EQ(count, 2u);
  source->Release();
}

// Registration writes machine-wide keys; the test removes what it made.
TEST_F(VizorelTest, UnregisterLeavesAProgIdThatAnotherClassTookOver) {
  wchar_t clsid[40] = {};
  StringFromGUID2(vizorel::kClsidFrameSource, clsid, 40);
  const std::wstring classKey = std::wstring(L"Software\\Classes\\CLSID\\") + clsid;
  const std::wstring progKey = std::wstring(L"Software\\Classes\\") + vizorel::kVersionIndependentProgId;

  ASSERT_EQ(register_(), S_OK);
  std::optional<std::wstring> server = luma::ReadRegString(HKEY_LOCAL_MACHINE, classKey + L"\\InprocServer32", L"", 0);
  ASSERT_TRUE(server.has_value());
  EXPECT_NE(server->find(L"Vizorel.dll"), std::wstring::npos) << *server;
  EXPECT_EQ(luma::ReadRegString(HKEY_LOCAL_MACHINE, classKey + L"\\InprocServer32", L"ThreadingModel", 0),
            std::optional<std::wstring>(L"Both"));
  EXPECT_EQ(luma::ReadRegString(HKEY_LOCAL_MACHINE, progKey + L"\\CurVer", L"", 0),
            std::optional<std::wstring>(vizorel::kProgId));

  const std::wstring foreign = L"{00000000-1111-2222-3333-444444444444}";
  ASSERT_EQ(luma::WriteRegString(HKEY_LOCAL_MACHINE, progKey + L"\\CLSID", L"", foreign, 0), ERROR_SUCCESS);
  EXPECT_EQ(unregister_(), S_OK);
  EXPECT_FALSE(luma::RegKeyExists(HKEY_LOCAL_MACHINE, classKey, 0));
  EXPECT_FALSE(luma::RegKeyExists(HKEY_LOCAL_MACHINE, std::wstring(L"Software\\Classes\\") + vizorel::kProgId, 0));
  EXPECT_EQ(luma::ReadRegString(HKEY_LOCAL_MACHINE, progKey + L"\\CLSID", L"", 0), std::optional<std::wstring>(foreign));
  EXPECT_EQ(unregister_(), S_OK);  // nothing left of ours is no error
  luma::DeleteRegTree(HKEY_LOCAL_MACHINE, progKey, 0);
}

}  // namespace
