#include "model/prelang.h"

#include <iterator>

IMPLEMENT_SERIAL(CPreLang, CFileObject, 0)

void CPreLang::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Exchange(m_strName);
  ar.Exchange(m_nLangId);
}

namespace {

struct LangRow {
  int id;
  const wchar_t* name;
};

// Names are kept exactly as projects have always shown them, stray blanks
// included: a project may hold them as they are here.
const LangRow kLangs[] = {
    {0x0436, L"Afrikaans"},
    {0x041C, L"Albanian "},
    {0x0401, L"Arabic (Saudi Arabia)"},
    {0x0801, L"Arabic (Iraq)"},
    {0x0C01, L"Arabic (Egypt)"},
    {0x1001, L"Arabic (Libya)"},
    {0x1401, L"Arabic (Algeria)"},
    {0x1801, L"Arabic (Morocco)"},
    {0x1C01, L"Arabic (Tunisia)"},
    {0x2001, L"Arabic (Oman)"},
    {0x2401, L"Arabic (Yemen)"},
    {0x2801, L"Arabic (Syria)"},
    {0x2C01, L"Arabic (Jordan)"},
    {0x3001, L"Arabic (Lebanon)"},
    {0x3401, L"Arabic (Kuwait)"},
    {0x3801, L"Arabic (U.A.E.)"},
    {0x3C01, L"Arabic (Bahrain)"},
    {0x4001, L"Arabic (Qatar)"},
    {0x042C, L"Azeri (Latin)"},
    {0x082C, L"Azeri (Cyrillic)"},
    {0x042D, L"Basque"},
    {0x0423, L"Belarusian"},
    {0x0445, L"Bengali (India)"},
    {0x141A, L"Bosnian (Bosnia and Herzegovina)"},
    {0x0402, L"Bulgarian"},
    {0x0455, L"Burmese"},
    {0x0403, L"Catalan"},
    {0x0404, L"Chinese (Taiwan)"},
    {0x0804, L"Chinese (PRC)"},
    {0x0C04, L"Chinese (Hong Kong SAR, PRC)"},
    {0x1004, L"Chinese (Singapore) "},
    {0x1404, L"Chinese (Macao SAR)"},
    {0x041A, L"Croatian "},
    {0x101A, L"Croatian (Bosnia and Herzegovina)"},
    {0x0405, L"Czech "},
    {0x0406, L"Danish "},
    {0x0413, L"Dutch (Netherlands) "},
    {0x0813, L"Dutch (Belgium) "},
    {0x0409, L"English (United States)"},
    {0x0809, L"English (United Kingdom) "},
    {0x0C09, L"English (Australian)"},
    {0x1009, L"English (Canadian)"},
    {0x1409, L"English (New Zealand)"},
    {0x1809, L"English (Ireland)"},
    {0x1C09, L"English (South Africa) "},
    {0x2009, L"English (Jamaica)"},
    {0x2409, L"English (Caribbean)"},
    {0x2809, L"English (Belize)"},
    {0x2C09, L"English (Trinidad)"},
    {0x0425, L"Estonian"},
    {0x0438, L"Faeroese"},
    {0x0429, L"Farsi"},
    {0x040B, L"Finnish"},
    {0x040C, L"French (Standard)"},
    {0x080C, L"French (Belgian)"},
    {0x0C0C, L"French (Canadian)"},
    {0x100C, L"French (Switzerland)"},
    {0x140C, L"French (Luxembourg)"},
    {0x0456, L"Windows XP: Galician "},
    {0x0407, L"German (Standard) "},
    {0x0807, L"German (Switzerland)"},
    {0x0C07, L"German (Austria)"},
    {0x1007, L"German (Luxembourg) "},
    {0x1407, L"German (Liechtenstein)"},
    {0x0408, L"Greek "},
    {0x040D, L"Hebrew"},
    {0x040E, L"Hungarian "},
    {0x040F, L"Icelandic"},
    {0x0421, L"Indonesian "},
    {0x0434, L"isiXhosa/Xhosa (South Africa)"},
    {0x0435, L"isiZulu/Zulu (South Africa)"},
    {0x0410, L"Italian (Standard)"},
    {0x0810, L"Italian (Switzerland)"},
    {0x0411, L"Japanese"},
    {0x0412, L"Korean "},
    {0x0440, L"Windows XP: Kyrgyz."},
    {0x0426, L"Latvian"},
    {0x0427, L"Lithuanian"},
    {0x042F, L"Macedonian (FYROM)"},
    {0x043E, L"Malay (Malaysian)"},
    {0x083E, L"Malay (Brunei Darussalam) "},
    {0x044C, L"Malayalam (India) "},
    {0x0481, L"Maori (New Zealand)"},
    {0x043A, L"Maltese (Malta)"},
    {0x0450, L"Windows XP: Mongolian"},
    {0x0414, L"Norwegian (Bokmal)"},
    {0x0814, L"Norwegian (Nynorsk)"},
    {0x0415, L"Polish"},
    {0x0416, L"Portuguese (Brazil)"},
    {0x0816, L"Portuguese (Portugal)"},
    {0x046B, L"Quechua (Bolivia)"},
    {0x086B, L"Quechua (Ecuador)"},
    {0x0C6B, L"Quechua (Peru)"},
    {0x0418, L"Romanian"},
    {0x0419, L"Russian"},
    {0x043B, L"Sami, Northern (Norway)"},
    {0x083B, L"Sami, Northern (Sweden)"},
    {0x0C3B, L"Sami, Northern (Finland)"},
    {0x103B, L"Sami, Lule (Norway)"},
    {0x143B, L"Sami, Lule (Sweden)"},
    {0x183B, L"Sami, Southern (Norway)"},
    {0x1C3B, L"Sami, Southern (Sweden)"},
    {0x203B, L"Sami, Skolt (Finland)"},
    {0x243B, L"Sami, Inari (Finland)"},
    {0x0C1A, L"Serbian (Cyrillic)"},
    {0x1C1A, L"Serbian (Cyrillic, Bosnia, and Herzegovina)"},
    {0x081A, L"Serbian (Latin)"},
    {0x181A, L"Serbian (Latin, Bosnia, and Herzegovina)"},
    {0x046C, L"Sesotho sa Leboa/Northern Sotho (South Africa)"},
    {0x0432, L"Setswana/Tswana (South Africa)"},
    {0x041B, L"Slovak"},
    {0x0424, L"Slovenian"},
    {0x040A, L"Spanish (Spain, Traditional Sort)"},
    {0x080A, L"Spanish (Mexican)"},
    {0x0C0A, L"Spanish (Spain, Modern Sort)"},
    {0x100A, L"Spanish (Guatemala)"},
    {0x140A, L"Spanish (Costa Rica) "},
    {0x180A, L"Spanish (Panama)"},
    {0x1C0A, L"Spanish (Dominican Republic)"},
    {0x200A, L" Spanish (Venezuela)"},
    {0x240A, L"Spanish (Colombia)"},
    {0x280A, L"Spanish (Peru)"},
    {0x2C0A, L"Spanish (Argentina)"},
    {0x300A, L"Spanish (Ecuador)"},
    {0x340A, L"Spanish (Chile)"},
    {0x380A, L"Spanish (Uruguay)"},
    {0x3C0A, L"Spanish (Paraguay)"},
    {0x400A, L"Spanish (Bolivia)"},
    {0x440A, L"Spanish (El Salvador)"},
    {0x480A, L"Spanish (Honduras)"},
    {0x4C0A, L"Spanish (Nicaragua)"},
    {0x500A, L"Spanish (Puerto Rico)"},
    {0x0430, L"Sutu"},
    {0x0441, L"Swahili (Kenya)"},
    {0x041D, L"Swedish"},
    {0x081D, L"Swedish (Finland)"},
    {0x0444, L"Tatar (Tatarstan)"},
    {0x041E, L"Thai"},
    {0x041F, L"Turkish "},
    {0x0422, L"Ukrainian"},
    {0x0820, L"Urdu (India) "},
    {0x0443, L"Uzbek (Latin)"},
    {0x0843, L"Uzbek (Cyrillic)"},
    {0x0452, L"Welsh (United Kingdom)"},
    {0, nullptr},
};

// The list ends at its zero row; the bound guards against a list that lost it.
constexpr size_t kMaxLangs = 200;

}  // namespace

CPreLangTable::CPreLangTable() {
  for (size_t i = 0; i < std::size(kLangs) && i < kMaxLangs && kLangs[i].id != 0; ++i)
    m_langs.AddTail(new CPreLang(kLangs[i].name, kLangs[i].id));
}

const CPreLang* CPreLangTable::FindById(int langId) const {
  for (const CPreLang* lang : m_langs)
    if (lang->GetLangId() == langId) return lang;
  return nullptr;
}

std::unique_ptr<CPreLangTable> GetPreLangTable() { return std::make_unique<CPreLangTable>(); }
