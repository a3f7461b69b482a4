// What the tests expect of the language modules, independent of the build
// files: the rows of the language table, the string ids every module carries
// and the English module's texts.
#pragma once

#include <cstdint>
#include <string>

namespace zortest {

struct LanguageRow {
  const char* source;      // resources/lang/<source>.rc, agreements/<row>_<source>.txt
  const wchar_t* module;   // module file name the setup writes and loads
  uint16_t langId;         // LANGUAGE of the module's resources
};

inline constexpr LanguageRow kLanguageRows[] = {
    {"zh_CN", L"Install.dll", 0x0804},          {"en", L"InstallEn.dll", 0x0409},
    {"fr", L"InstallFr.dll", 0x040C},           {"de", L"InstallGe.dll", 0x0407},
    {"ru", L"InstallRu.dll", 0x0419},           {"zh_TW", L"InstallTr.dll", 0x0404},
    {"ko", L"InstallKo.dll", 0x0412},           {"ja", L"InstallJap.dll", 0x0411},
    {"pt", L"InstallPtg.dll", 0x0816},          {"it", L"InstallIta.dll", 0x0410},
    {"es", L"InstallSpa.dll", 0x0C0A},          {"cs", L"InstallCzech.dll", 0x0405},
    {"da", L"InstallDanish.dll", 0x0406},       {"nl", L"InstallDutch.dll", 0x0413},
    {"fi", L"InstallFinnish.dll", 0x040B},      {"el", L"InstallGreek.dll", 0x0408},
    {"hu", L"InstallHungarian.dll", 0x040E},    {"no", L"InstallNorwegian.dll", 0x0414},
    {"pl", L"InstallPolish.dll", 0x0415},       {"pt_BR", L"InstallPT-BR.dll", 0x0416},
    {"sv", L"InstallSwedish.dll", 0x041D},      {"tr", L"InstallTurkish.dll", 0x041F},
};
inline constexpr int kLanguageRowCount = sizeof(kLanguageRows) / sizeof(kLanguageRows[0]);

struct ModuleString {
  int id;
  const wchar_t* english;
};

// The string table of the English module; every module has exactly these ids.
inline constexpr ModuleString kEnglishStrings[] = {
    {101, L"&About Tarvex Lumaglimpse installation..."},
    {102, L"Install Tarvex Lumaglimpse"},
    {104, L"Your installation package is damaged. Please get the correct installation package, then try again."},
    {105, L"Tarvex Lumaglimpse only supports Windows xp, Windows 2000 and Windows vista."},
    {108, L"You must have administrator permission to be able to install Tarvex Lumaglimpse."},
    {109, L"Creating shortcuts"},
    {110, L"Copying files to destination folders..."},
    {111, L"Installing drivers"},
    {112, L"Registering uninstallation program"},
    {113, L"Registering software information"},
    {114, L"Some files could not be installed. Close the programs that may be using them, then run the installation again."},
    {116, L"&Finish"},
    {117, L"\\Microsoft\\Internet Explorer\\Quick Launch\\Tarvex Lumaglimpse.lnk"},
    {118, L"\\Tarvex Lumaglimpse\\Tarvex Lumaglimpse.lnk"},
    {119, L"\\Tarvex Lumaglimpse\\Tarvex Lumaglimpse Help.lnk"},
    {120, L"\\Tarvex Lumaglimpse\\Tarvex Lumaglimpse Uninstall.lnk"},
    {121, L"Thanks for using Tarvex Lumaglimpse. It will make your life more colorful."},
    {123, L"The current selected path is not valid. Please select again."},
    {126, L"\\Tarvex Lumaglimpse.lnk"},
    {127, L"&Accept"},
    {128, L"&Decline"},
    {129, L"&Next"},
    {130, L"&Cancel"},
    {160, L"The Tarvex Lumaglimpse uninstaller could not be started. To restore it, run this setup again and choose to repair the installation."},
};

}  // namespace zortest
