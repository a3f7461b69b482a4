#include "app/product_report.h"

#include <windows.h>
#include <shlobj.h>

#include <climits>
#include <optional>
#include <sstream>

#include "common/product_names.h"
#include "common/registry.h"
#include "common/std_stream.h"
#include "payload/streamaid/streamaid.h"
#include "product_version.h"
#include "vizorel/vizorel.h"

namespace luma {

namespace {

struct Settings {
  std::wstring path;
  bool found = false;
  std::wstring language;
  int langIndex = -1;
  std::wstring langId;
  int width = 640;
  int height = 480;
  int framesPerSecond = 30;
  std::wstring snapshotFormat;
  bool showPreview = true;
  std::wstring previewCaption;
};

std::wstring SettingsPath() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
  return std::wstring(folder) + L"\\" + kSettingsFolder + L"\\" + kSettingsFile;
}

std::wstring ReadText(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                      const wchar_t* fallback) {
  // Profile strings are short; 512 characters leave room for any value we write.
  wchar_t buffer[512] = {};
  GetPrivateProfileStringW(section, key, fallback, buffer, 512, file.c_str());
  return buffer;
}

// A whole-number value, or `fallback` when it is missing or not a number.
int ReadNumber(const std::wstring& file, const wchar_t* section, const wchar_t* key, int fallback) {
  std::wstring text = ReadText(file, section, key, L"");
  if (text.empty()) return fallback;
  wchar_t* end = nullptr;
  long value = wcstol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != L'\0' || value < INT_MIN || value > INT_MAX) return fallback;
  return static_cast<int>(value);
}

Settings ReadSettings() {
  Settings settings;
  settings.path = SettingsPath();
  if (settings.path.empty()) return settings;
  DWORD attributes = GetFileAttributesW(settings.path.c_str());
  settings.found = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (!settings.found) return settings;
  const std::wstring& file = settings.path;
  settings.language = ReadText(file, L"Settings", L"Language", L"");
  settings.langIndex = ReadNumber(file, L"Settings", L"LangIndex", -1);
  settings.langId = ReadText(file, L"Settings", L"LangId", L"");
  settings.width = ReadNumber(file, L"Capture", L"Width", settings.width);
  settings.height = ReadNumber(file, L"Capture", L"Height", settings.height);
  settings.framesPerSecond = ReadNumber(file, L"Capture", L"FrameRate", settings.framesPerSecond);
  settings.snapshotFormat = ReadText(file, L"Capture", L"SnapshotFormat", L"BMP");
  settings.showPreview = ReadNumber(file, L"Display", L"ShowPreview", 1) != 0;
  settings.previewCaption = ReadText(file, L"Display", L"PreviewCaption", L"");
  return settings;
}

std::wstring Hex32(DWORD value) {
  wchar_t text[12] = {};
  wsprintfW(text, L"%08X", value);
  return text;
}

std::wstring VersionText(DWORD packed) {
  return std::to_wstring(packed >> 16) + L"." + std::to_wstring((packed >> 8) & 0xFF) + L"." +
         std::to_wstring(packed & 0xFF);
}

class StreamAid {
 public:
  StreamAid() : module_(LoadLibraryW(L"StreamAid.dll")) {
    if (module_ == nullptr) return;
    version_ = reinterpret_cast<StreamAidGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "StreamAidGetVersion")));
    crc32_ = reinterpret_cast<StreamAidCrc32Fn>(reinterpret_cast<void*>(GetProcAddress(module_, "StreamAidCrc32")));
  }
  StreamAid(const StreamAid&) = delete;
  StreamAid& operator=(const StreamAid&) = delete;
  ~StreamAid() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  bool usable() const { return version_ != nullptr && crc32_ != nullptr; }
  DWORD Version() const { return version_(); }
  DWORD Crc32(const void* data, DWORD size) const { return crc32_(0, data, size); }

 private:
  HMODULE module_;
  StreamAidGetVersionFn version_ = nullptr;
  StreamAidCrc32Fn crc32_ = nullptr;
};

void ReportFrameSource(std::wostringstream& out, const Settings& settings) {
  IVizorelFrameSource* source = nullptr;
  HRESULT hr = CoCreateInstance(vizorel::kClsidFrameSource, nullptr, CLSCTX_INPROC_SERVER, vizorel::kIidFrameSource,
                                reinterpret_cast<void**>(&source));
  if (FAILED(hr)) {
    out << L"Frame source: not available (" << ErrorText(static_cast<DWORD>(hr)) << L")\r\n";
    return;
  }
  if (FAILED(source->SetFormat(settings.width, settings.height, settings.framesPerSecond))) {
    out << L"Frame source: the settings ask for " << settings.width << L" x " << settings.height << L" at "
        << settings.framesPerSecond << L" frames/s, which it does not offer; it keeps its own format\r\n";
  }
  LONG width = 0, height = 0, rate = 0;
  source->GetFormat(&width, &height, &rate);
  out << L"Frame source: " << vizorel::kClassName << L", " << width << L" x " << height << L" at " << rate
      << L" frames/s\r\n";

  StreamAid aid;
  if (!aid.usable()) {
    out << L"Stream helper: StreamAid.dll not found\r\n";
  } else {
    out << L"Stream helper: StreamAid " << VersionText(aid.Version()) << L"\r\n";
    ULONG needed = 0;
    source->ReadFrame(nullptr, 0, &needed);
    std::string frame(needed, '\0');
    ULONG written = 0;
    if (SUCCEEDED(source->ReadFrame(reinterpret_cast<BYTE*>(frame.data()), needed, &written))) {
      out << L"First frame: " << written << L" bytes, CRC-32 " << Hex32(aid.Crc32(frame.data(), written))
          << L"\r\n";
    }
  }
  source->Release();
}

}  // namespace

std::wstring BuildProductReport() {
  std::wostringstream out;
  out << kProductName << L"\r\n";

  std::optional<std::wstring> version = ReadRegString(HKEY_LOCAL_MACHINE, kProductKey, L"Version", KEY_WOW64_32KEY);
  if (version && !version->empty()) {
    out << L"Version: " << *version << L" (installed)\r\n";
  } else {
    out << L"Version: " << LUMA_VERSION_WTEXT << L" (built in; no installed version found)\r\n";
  }

  Settings settings = ReadSettings();
  if (!settings.found) {
    out << L"Settings file: " << (settings.path.empty() ? L"(no common application data folder)" : settings.path)
        << L" (not found; using defaults)\r\n";
  } else {
    out << L"Settings file: " << settings.path << L"\r\n";
    out << L"Language: " << (settings.language.empty() ? L"(not set)" : settings.language) << L" (index "
        << settings.langIndex << L", " << (settings.langId.empty() ? L"no id" : settings.langId) << L")\r\n";
    out << L"Capture: " << settings.width << L" x " << settings.height << L" at " << settings.framesPerSecond
        << L" frames/s, snapshots as " << settings.snapshotFormat << L"\r\n";
    out << L"Preview: " << (settings.showPreview ? L"shown" : L"hidden") << L", caption \""
        << settings.previewCaption << L"\"\r\n";
  }
  ReportFrameSource(out, settings);
  return out.str();
}

}  // namespace luma
