// The user-interface languages: one row per language ties together the text
// shown in the language lists, the system languages it serves, its language
// module, its agreement text and the package's file group for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zor {

// Which sub-languages of a row's primary languages the row serves.
enum class SubLanguageRule : uint8_t { kAny, kOnly, kAllBut };

struct LanguageRow {
  const wchar_t* listText;       // shown verbatim, trailing blanks included
  uint16_t primaries[3];         // primary language ids; unused slots are 0
  SubLanguageRule subRule;
  uint16_t subLanguage;          // the sub-language kOnly / kAllBut names
  const wchar_t* moduleFile;     // language module file name
  uint32_t agreementId;          // "SFX_TEXT" resource of the agreement
  const wchar_t* component;      // the package's file group for the language
};

constexpr int kLanguageCount = 22;

// The row `index` (0 to 21); null for any other index.
const LanguageRow* GetLanguageRow(int index);

// The parts of a language identifier (LANGID) as the table reads them.
inline uint16_t PrimaryLanguage(uint16_t langId) { return langId & 0x3FF; }
inline uint16_t SubLanguage(uint16_t langId) { return (langId >> 10) & 0x3F; }

// The first row whose rule takes the system language `langId`; none when no
// row serves it (for example Thai).
std::optional<int> FindLanguageRow(uint16_t langId);

// Resource type of the agreement texts in the program file.
extern const wchar_t kAgreementResourceType[];  // "SFX_TEXT"

}  // namespace zor
