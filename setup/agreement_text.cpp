#include "setup/agreement_text.h"

#include "common/wstr.h"
#include "platform/host.h"
#include "setup/language_table.h"

namespace zor {

uint32_t AgreementIdForSelection(int selection) {
  const LanguageRow* row = GetLanguageRow(selection);
  return row ? row->agreementId : kDefaultAgreementId;
}

std::wstring DecodeAgreementText(const std::string& bytes) {
  size_t units = bytes.size() / 2;
  if (units == 0) return std::wstring();
  return FromUtf16Le(reinterpret_cast<const uint8_t*>(bytes.data()), units - 1);
}

bool LoadAgreementText(uint32_t id, std::wstring* text) {
  std::string bytes;
  if (!CurrentHost().ReadResource(0, kAgreementResourceType, id, &bytes)) return false;
  *text = DecodeAgreementText(bytes);
  return true;
}

}  // namespace zor
