// The built language modules, loaded the way the setup loads them: each holds
// every string id in its own language, exactly as its script says (so the
// resource compiler read the UTF-8 correctly), and runs no code when loaded.
#if defined(_WIN32) && defined(ZOR_LANGUAGE_MODULE_DIR)

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "common/wstr.h"
#include "tests/unit/resources/language_rows.h"
#include "tests/unit/resources/rc_source.h"

using namespace zortest;

namespace {

std::wstring ModulePath(const LanguageRow& row) {
  return zor::FromUtf8(ZOR_LANGUAGE_MODULE_DIR) + L"\\" + row.module;
}

// The whole string, however long: with a zero buffer size LoadStringW hands
// out a pointer into the resource instead of copying.
std::optional<std::wstring> ReadString(HMODULE module, int id) {
  const wchar_t* text = nullptr;
  int length = LoadStringW(module, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return std::nullopt;
  return std::wstring(text, static_cast<size_t>(length));
}

struct Library {
  explicit Library(HMODULE h) : handle(h) {}
  ~Library() {
    if (handle) FreeLibrary(handle);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  HMODULE handle;
};

}  // namespace

TEST(LanguageModules, HoldEveryStringOfTheirScriptInTheirLanguage) {
  for (const LanguageRow& row : kLanguageRows) {
    SCOPED_TRACE(row.source);
    std::string error;
    std::map<int, std::wstring> script = LoadScriptStrings(row.source, error);
    ASSERT_EQ(error, "");
    Library data(LoadLibraryExW(ModulePath(row).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_NE(data.handle, nullptr) << GetLastError();
    for (const ModuleString& s : kEnglishStrings) {
      auto text = ReadString(data.handle, s.id);
      ASSERT_TRUE(text) << s.id;
      EXPECT_FALSE(text->empty()) << s.id;
      EXPECT_EQ(*text, script[s.id]) << s.id;
      // Strings are stored in blocks of 16; the block must carry the row's
      // language, not a default the resource compiler fell back to.
      EXPECT_NE(FindResourceExW(data.handle, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(s.id / 16 + 1), row.langId),
                nullptr)
          << s.id;
    }
  }
}

TEST(LanguageModules, EnglishModuleHasTheSystemTexts) {
  Library data(LoadLibraryExW(ModulePath(kLanguageRows[1]).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_NE(data.handle, nullptr);
  for (const ModuleString& s : kEnglishStrings) EXPECT_EQ(ReadString(data.handle, s.id), s.english) << s.id;
}

TEST(LanguageModules, LoadAsLibrariesWithoutEntryPointOrImports) {
  for (const LanguageRow& row : kLanguageRows) {
    SCOPED_TRACE(row.source);
    Library module(LoadLibraryW(ModulePath(row).c_str()));
    ASSERT_NE(module.handle, nullptr) << GetLastError();
    EXPECT_TRUE(ReadString(module.handle, 102).has_value());

    auto base = reinterpret_cast<const unsigned char*>(module.handle);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
    EXPECT_EQ(nt->OptionalHeader.AddressOfEntryPoint, 0u);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress != 0 && imports.Size >= sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
      auto first = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
      EXPECT_EQ(first->Name, 0u) << "module imports a library";
    }
  }
}

#endif  // _WIN32 && ZOR_LANGUAGE_MODULE_DIR
