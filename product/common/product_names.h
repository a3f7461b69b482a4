// Names the setup writes and the product programs read back: registry keys,
// folders and files outside the install folder.
#pragma once

namespace luma {

inline constexpr wchar_t kProductName[] = L"Tarvex Lumaglimpse";

// Product key and its vendor parent; the setup writes them to the 32-bit view.
inline constexpr wchar_t kVendorKey[] = L"SOFTWARE\\Tarvex";
inline constexpr wchar_t kProductKey[] = L"SOFTWARE\\Tarvex\\Lumaglimpse";
inline constexpr wchar_t kUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumaglimpse3.0";
inline constexpr wchar_t kServiceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\vcapfx";

// Under the system folder.
inline constexpr wchar_t kDriverFile[] = L"Drivers\\vcapfx.sys";
inline constexpr wchar_t kComponentFile[] = L"Vizorel.dll";

// Under the common application data folder.
inline constexpr wchar_t kSettingsFolder[] = L"Lumaglimpse";
inline constexpr wchar_t kSettingsFile[] = L"main.ini";

// Under the common programs folder; the link names inside are translated.
inline constexpr wchar_t kStartMenuFolder[] = L"Tarvex Lumaglimpse";
// Under the user's application data folder.
inline constexpr wchar_t kQuickLaunchFolder[] = L"Microsoft\\Internet Explorer\\Quick Launch";

inline constexpr wchar_t kUninstallerFile[] = L"Uninstall.exe";
inline constexpr wchar_t kProgramFile[] = L"Lumaglimpse.exe";
inline constexpr wchar_t kVendorFolder[] = L"Tarvex";

}  // namespace luma
