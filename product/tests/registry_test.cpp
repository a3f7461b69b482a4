// Registry helpers against the real registry (run under Wine), in keys of
// their own.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/registry.h"

namespace luma {
namespace {

std::wstring TestKey() { return L"Software\\LumaglimpseTest-" + std::to_wstring(GetCurrentProcessId()); }

class RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    DeleteRegTree(HKEY_CURRENT_USER, key_, 0);
    DeleteRegTree(HKEY_LOCAL_MACHINE, key_, KEY_WOW64_32KEY);
    DeleteRegTree(HKEY_LOCAL_MACHINE, key_, KEY_WOW64_64KEY);
  }
  void SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
  }
  const std::wstring key_ = TestKey();
};

TEST_F(RegistryTest, StringsReadTheSameWithAndWithoutTheirTerminator) {
  const wchar_t text[] = L"C:\\Program Files\\Tarvex\\Lumaglimpse\\";
  const DWORD chars = static_cast<DWORD>(wcslen(text));
  SetRaw(L"Unterminated", REG_SZ, text, chars * sizeof(wchar_t));  // as the setup stores them
  SetRaw(L"Terminated", REG_SZ, text, (chars + 1) * sizeof(wchar_t));
  SetRaw(L"Empty", REG_SZ, L"", 0);
  DWORD number = 3;
  SetRaw(L"Number", REG_DWORD, &number, sizeof(number));

  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key_, L"Unterminated", 0), std::optional<std::wstring>(text));
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key_, L"Terminated", 0), std::optional<std::wstring>(text));
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key_, L"Empty", 0), std::optional<std::wstring>(L""));
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key_, L"Number", 0), std::nullopt);
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key_, L"Missing", 0), std::nullopt);
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key_ + L"\\Missing", L"Terminated", 0), std::nullopt);
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, key_, L"Number", 0), std::optional<DWORD>(3));
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, key_, L"Terminated", 0), std::nullopt);
}

TEST_F(RegistryTest, DeleteTreeRemovesNestedKeysAndAcceptsAMissingKey) {
  ASSERT_EQ(WriteRegString(HKEY_CURRENT_USER, key_ + L"\\Lumaglimpse\\Enum\\Deep", L"v", L"1", 0), ERROR_SUCCESS);
  ASSERT_EQ(WriteRegString(HKEY_CURRENT_USER, key_ + L"\\Lumaglimpse\\Other", L"", L"2", 0), ERROR_SUCCESS);
  ASSERT_EQ(WriteRegString(HKEY_CURRENT_USER, key_ + L"\\Sibling", L"", L"3", 0), ERROR_SUCCESS);
  EXPECT_FALSE(RegKeyIsEmpty(HKEY_CURRENT_USER, key_, 0));

  EXPECT_EQ(DeleteRegTree(HKEY_CURRENT_USER, key_ + L"\\Lumaglimpse", 0), ERROR_SUCCESS);
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, key_ + L"\\Lumaglimpse", 0));
  EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, key_ + L"\\Sibling", 0));
  EXPECT_EQ(DeleteRegTree(HKEY_CURRENT_USER, key_ + L"\\Lumaglimpse", 0), ERROR_SUCCESS);

  EXPECT_EQ(DeleteRegTree(HKEY_CURRENT_USER, key_ + L"\\Sibling", 0), ERROR_SUCCESS);
  EXPECT_TRUE(RegKeyIsEmpty(HKEY_CURRENT_USER, key_, 0));
  EXPECT_FALSE(RegKeyIsEmpty(HKEY_CURRENT_USER, key_ + L"\\Missing", 0));
}

// The product key lives in the 32-bit view; a 64-bit program must ask for it.
TEST_F(RegistryTest, ViewsOfTheMachineSoftwareKeyAreKeptApart) {
  ASSERT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, key_, L"InstallDir", L"C:\\32\\", KEY_WOW64_32KEY), ERROR_SUCCESS);
  EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, key_, L"InstallDir", KEY_WOW64_32KEY),
            std::optional<std::wstring>(L"C:\\32\\"));
#ifdef _WIN64
  EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, key_, L"InstallDir", KEY_WOW64_64KEY), std::nullopt);
  EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, key_, L"InstallDir", 0), std::nullopt);
#endif
  EXPECT_EQ(DeleteRegTree(HKEY_LOCAL_MACHINE, key_, KEY_WOW64_32KEY), ERROR_SUCCESS);
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, key_, KEY_WOW64_32KEY));
}

}  // namespace
}  // namespace luma
