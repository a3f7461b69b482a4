// Start-up of the setup program: everything it decides before a window
// opens, and the choice of run mode.
//
// CSetupStartup is the portable body of the application object: it reaches
// the system only through the seam, and the windows (the wizard, the
// maintenance path, the install page) only through ISetupWindows, so every
// decision runs in tests as well as in the program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/extract.h"
#include "setup/install_actions.h"
#include "setup/module_strings.h"
#include "setup/payloads.h"
#include "setup/window_rotator.h"

namespace zor {

// The windows start-up hands over to. Each runs modally and returns when
// its window has closed.
class ISetupWindows {
 public:
  virtual ~ISetupWindows() = default;
  // No installation is registered: the interactive installation.
  virtual void RunFreshInstall() = 0;
  // An installation is registered: the application's install folder is the
  // registered one and the current language index the registered language.
  virtual void RunMaintenance() = 0;
};

class CSetupStartup {
 public:
  // The install folder starts as the Program Files folder followed by
  // "\Tarvex\Lumaglimpse\".
  CSetupStartup();
  // What ReleasePayloads does.
  ~CSetupStartup();
  CSetupStartup(const CSetupStartup&) = delete;
  CSetupStartup& operator=(const CSetupStartup&) = delete;

  // The start-up rules. `commandLine` is the text after the program name.
  // False when another copy runs or after the windows have closed; true
  // after a silent installation. Unsupported systems, missing rights and a
  // damaged package end the process (ExitProcess(0)) after their message.
  bool InitInstance(const std::wstring& commandLine, ISetupWindows& windows, RotatorFactory rotatorFactory,
                    WindowHandle desktopWindow);

  // Message box without owner: text string `id`, caption string 102.
  void ShowMessage(uint32_t id);

  // The end of the run, once every window is gone and every module the
  // windows loaded is freed: the rotator released and the renderer's folder
  // removed, the program's own strings the source again, the start-up
  // language module freed and the language folder removed. Whoever made the
  // module the resource source elsewhere must have switched back first. A
  // second call does nothing.
  void ReleasePayloads();

  std::wstring m_strInstallDir;
  std::wstring m_strVersion;
  CInstallActions m_actions;
  CMyExtract m_extract;
  CInstallProject* m_pProject = nullptr;  // owned by m_extract
  // This run's language modules; what is loaded from it is freed before it
  // goes.
  CPayloadFolder m_languageFolder{kLanguageFolderPrefix};
  Host::Module m_hLangModule = 0;
  // The current resource source's strings: the program's own until the
  // language module is loaded.
  CModuleStrings m_strings;
  CRendererHolder m_renderer;
};

// The registered language: "Lang" under the product key, a 32-bit row of
// the language table. nullopt when the key or value is missing, is not a
// 32-bit number, or names no row.
std::optional<int32_t> GetInstalledLanguage();

}  // namespace zor
