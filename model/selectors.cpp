#include "model/selectors.h"

#include <algorithm>

#include "model/os_code.h"
#include "platform/host.h"

IMPLEMENT_SERIAL(CAdminSelect, CStreamObject, 0)
IMPLEMENT_SERIAL(COSSelect, CStreamObject, 0)
IMPLEMENT_SERIAL(CLangSelect, CStreamObject, 0)
IMPLEMENT_SERIAL(CAutoSelect, CStreamObject, 0)

namespace {

const wchar_t kAdminProbe[] = L"\\\\.\\PHYSICALDRIVE0";

// A count of DWORDs followed by the DWORDs. The stored count is always the
// number of entries held, so a list that was loaded onto earlier entries
// stores every one of them.
void ExchangeDwords(CArchive& ar, std::vector<uint32_t>& values) {
  if (ar.IsStoring()) {
    ar.WriteInt(static_cast<int32_t>(values.size()));
    for (uint32_t v : values) ar.WriteDword(v);
    return;
  }
  int32_t count = ar.ReadInt();
  // A negative count claims more entries than any archive holds.
  if (count < 0) throw CArchiveException(CArchiveException::endOfFile);
  ar.Require(uint64_t{static_cast<uint32_t>(count)} * 4);
  values.reserve(values.size() + static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) values.push_back(ar.ReadDword());
}

int RemoveFirst(std::vector<uint32_t>& values, uint32_t v) {
  auto it = std::find(values.begin(), values.end(), v);
  if (it == values.end()) return 0;
  values.erase(it);
  return 1;
}

}  // namespace

void CAdminSelect::Serialize(CArchive& ar) {
  CStreamObject::Serialize(ar);
  ar.Exchange(m_bCheck);
  // Caption before message, the reverse of how they are declared.
  ar.Exchange(m_strCaption);
  ar.Exchange(m_strMessage);
}

int CAdminSelect::Run() {
  if (m_bCheck == 0) return 0;
  zor::Host& host = zor::CurrentHost();
  if (host.CanOpenDevice(kAdminProbe)) return 0;
  host.MessageBox(m_strMessage, m_strCaption, zor::kMbOk | zor::kMbIconInformation);
  return 2;
}

int COSSelect::AddCode(uint32_t code) {
  m_codes.push_back(code);
  return 1;
}

int COSSelect::RemoveCode(uint32_t code) { return RemoveFirst(m_codes, code); }

void COSSelect::Serialize(CArchive& ar) {
  CStreamObject::Serialize(ar);
  ar.Exchange(m_strMessage);
  ar.Exchange(m_strCaption);
  ExchangeDwords(ar, m_codes);
}

int COSSelect::Run() {
  uint32_t code = CurrentOsCode();
  if (std::find(m_codes.begin(), m_codes.end(), code) != m_codes.end()) return 0;
  zor::CurrentHost().MessageBox(m_strMessage, m_strCaption, zor::kMbOk | zor::kMbIconInformation);
  return 2;
}

int CLangSelect::AddLang(uint32_t langId) {
  m_langs.push_back(langId);
  return 1;
}

int CLangSelect::RemoveLang(uint32_t langId) { return RemoveFirst(m_langs, langId); }

void CLangSelect::Serialize(CArchive& ar) {
  CStreamObject::Serialize(ar);
  ExchangeDwords(ar, m_langs);
}

int CLangSelect::Run() { return 0; }

void CAutoSelect::Serialize(CArchive& ar) {
  CStreamObject::Serialize(ar);
  m_table.Serialize(ar);
}

int CAutoSelect::Run() { return m_table.FindTextForThisMachine().empty() ? 2 : 0; }
