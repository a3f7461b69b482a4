#include "tests/ui/expected_layout.h"

#include <windows.h>
#include <commctrl.h>

#include "resources/lang/resource_ids.h"

namespace zor::ui_check {
namespace {

constexpr int kStatic = -1;

// Shorthands for the table.
constexpr uint32_t kShown = WS_VISIBLE;
constexpr uint32_t kTab = WS_VISIBLE | WS_TABSTOP;
constexpr uint32_t kList = CBS_DROPDOWNLIST | WS_VSCROLL | kTab;  // not sorted
constexpr uint32_t kPicture = SS_BITMAP | kShown;
constexpr uint32_t kIcon = SS_ICON | kShown;
constexpr uint32_t kSeparator = SS_BLACKFRAME | SS_SUNKEN | kShown;
constexpr uint32_t kDimmed = WS_VISIBLE | WS_DISABLED;
constexpr uint32_t kFirstRadio = BS_AUTORADIOBUTTON | WS_GROUP | kTab;
constexpr uint32_t kNextRadio = BS_AUTORADIOBUTTON | kShown;
// The finish page's choices are two lines high and wrap their texts.
constexpr uint32_t kWrapped = BS_MULTILINE;

const wchar_t* const kButton = L"Button";
const wchar_t* const kStaticClass = L"Static";
const wchar_t* const kEdit = L"Edit";
const wchar_t* const kCombo = L"ComboBox";

using F = Fit;

std::vector<ExpectedDialog> MakeDialogs() {
  return {
      {IDD_ABOUTBOX, "about box", true, 235, 55, 8, L"Tahoma", L"About Tarvex Lumaglimpse",
       {
           {kStatic, "application icon", kStaticClass, kIcon, 0, 11, 17, 20, 20, IDR_MAINFRAME, nullptr, F::kNone},
           {kStatic, "product name", kStaticClass, kShown, 0, 40, 10, 119, 8, 0, L"Lumaglimpse", F::kLabel},
           {kStatic, "version and copyright", kStaticClass, kShown, 0, 40, 25, 119, 8, 0,
            L"Version 3.0  Copyright (C) Tarvex", F::kLabel},
           {IDOK, "OK button", kButton, BS_DEFPUSHBUTTON | kTab, 0, 178, 7, 50, 14, 0, L"OK", F::kPushButton},
       }},
      {IDD_INSTALL, "install page", false, 273, 196, 8, L"Tahoma", nullptr,
       {
           {IDC_INSTALL_STATUS, "status line", kStaticClass, kShown, 0, 10, 94, 222, 9, 0, L"", F::kLabel},
           {IDC_INSTALL_PROGRESS, "progress bar", PROGRESS_CLASSW, WS_BORDER | kShown, 0, 9, 114, 224, 14, 0, L"",
            F::kNone},
       }},
      {IDD_WELCOME, "welcome page", false, 267, 196, 8, L"Tahoma", nullptr,
       {
           {IDC_WELCOME_TITLE, "title", kStaticClass, kShown, 0, 22, 46, 220, 23, 0,
            L"Welcome to the Lumaglimpse Installation Wizard", F::kLabel},
           {kStatic, "introduction", kStaticClass, kShown, 0, 21, 86, 230, 24, 0,
            L"The wizard will help you install Tarvex Lumaglimpse in your computer. To continue, click Next. "
            L"If you don't want to install, click Cancel.",
            F::kLabel},
       }},
      {IDD_AGREEMENT, "agreement page", false, 258, 205, 8, L"Tahoma", nullptr,
       {
           {IDC_AGREEMENT_LANGUAGE, "agreement language list", kCombo, kList, 0, 74, 3, 94, 93, 0, L"", F::kNone},
           {IDC_AGREEMENT_TEXT, "agreement text", kEdit,
            ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | kTab, WS_EX_STATICEDGE, 4, 21, 252, 151, 0,
            L"", F::kNone},
           {kStatic, "acceptance note", kStaticClass, kShown, 0, 5, 183, 251, 21, 0,
            L"To continue the installation of Tarvex Lumaglimpse, you must accept the agreement.", F::kLabel},
       }},
      {IDD_SELECT_LANGUAGE, "language and destination page", false, 270, 167, 8, L"Tahoma", nullptr,
       {
           {kStatic, "language prompt", kStaticClass, kShown, 0, 5, 12, 154, 13, 0,
            L"Please select the language of installation:", F::kLabel},
           {IDC_SELLANG_LANGUAGE, "language list", kCombo, kList, 0, 6, 34, 121, 88, 0, L"", F::kNone},
           {IDC_SELLANG_FOLDER_LABEL, "folder prompt", kStaticClass, kShown, 0, 6, 64, 199, 9, 0,
            L"Please select the installation folder:", F::kLabel},
           {IDC_SELLANG_FOLDER, "folder field", kEdit, ES_AUTOHSCROLL | WS_BORDER | kTab, 0, 5, 85, 190, 14, 0, L"",
            F::kNone},
           {IDC_SELLANG_BROWSE, "Browse button", kButton, BS_PUSHBUTTON | kTab, 0, 201, 84, 55, 15, 0, L"B&rowse",
            F::kPushButton},
       }},
      {IDD_FLASH, "flash page", false, 384, 236, 8, L"Tahoma", nullptr,
       {
           {IDC_FLASH_THANKS, "thanks label", kStaticClass, kShown, 0, 81, 143, 210, 57, 0, L"", F::kLabel},
           {IDC_FLASH_VERSION, "version label", kStaticClass, kShown, 0, 239, 211, 122, 13, 0, L"", F::kLabel},
       }},
      {IDD_WIZARD, "wizard frame", true, 380, 270, 8, L"Tahoma", L"Tarvex Lumaglimpse Installation",
       {
           {IDC_WIZARD_PRINT, "Print button", kButton, BS_PUSHBUTTON | WS_TABSTOP, 0, 5, 247, 50, 14, 0, L"&Print",
            F::kPushButton},
           {IDC_WIZARD_BACK, "Back button", kButton, BS_PUSHBUTTON | kTab, 0, 176, 248, 50, 14, 0, L"&Back",
            F::kPushButton},
           {IDOK, "Next button", kButton, BS_DEFPUSHBUTTON | kTab, 0, 238, 248, 50, 14, 0, L"&Next", F::kPushButton},
           {IDCANCEL, "Cancel button", kButton, BS_PUSHBUTTON | kTab, 0, 300, 248, 50, 14, 0, L"&Cancel",
            F::kPushButton},
           {IDC_WIZARD_SEPARATOR, "separator line", kStaticClass, kSeparator, 0, 0, 239, 379, 1, 0, L"", F::kNone},
           {IDC_WIZARD_HEADER, "header picture", kStaticClass, kPicture | SS_CENTERIMAGE | SS_RIGHTJUST, 0, 0, 0,
            379, 35, IDB_WIZARD_HEADER, nullptr, F::kNone},
       }},
      {IDD_STEP_LIST, "step list", false, 135, 202, 8, L"Tahoma", nullptr,
       {
           {IDC_STEP_ICON1, "step 1 icon", kStaticClass, kIcon, 0, 7, 7, 20, 20, IDI_STEP_PENDING, nullptr, F::kNone},
           {IDC_STEP_LABEL1, "step 1 label", kStaticClass, kShown, 0, 35, 10, 74, 18, 0, L"Introduction", F::kLabel},
           {IDC_STEP_ICON2, "step 2 icon", kStaticClass, kIcon, 0, 7, 37, 20, 20, IDI_STEP_PENDING, nullptr, F::kNone},
           {IDC_STEP_LABEL2, "step 2 label", kStaticClass, kDimmed, 0, 35, 40, 73, 18, 0, L"Read the agreement",
            F::kLabel},
           {IDC_STEP_ICON3, "step 3 icon", kStaticClass, kIcon, 0, 7, 67, 20, 20, IDI_STEP_PENDING, nullptr, F::kNone},
           {IDC_STEP_LABEL3, "step 3 label", kStaticClass, kDimmed, 0, 35, 70, 74, 18, 0,
            L"Select installation language and path", F::kLabel},
           {IDC_STEP_ICON4, "step 4 icon", kStaticClass, kIcon, 0, 7, 97, 20, 20, IDI_STEP_PENDING, nullptr, F::kNone},
           {IDC_STEP_LABEL4, "step 4 label", kStaticClass, kDimmed, 0, 35, 102, 73, 18, 0,
            L"Install the software and its components", F::kLabel},
           {IDC_STEP_ICON5, "step 5 icon", kStaticClass, kIcon, 0, 7, 127, 20, 20, IDI_STEP_PENDING, nullptr,
            F::kNone},
           {IDC_STEP_LABEL5, "step 5 label", kStaticClass, kDimmed, 0, 35, 132, 71, 18, 0, L"Finish installation",
            F::kLabel},
           {kStatic, "separator picture", kStaticClass, kPicture, 0, 113, 10, 5, 188, IDB_STEP_SEPARATOR, nullptr,
            F::kNone},
       }},
      {IDD_FINISH, "finish page", false, 256, 166, 8, L"MS Shell Dlg", nullptr,
       {
           {kStatic, "result", kStaticClass, kShown, 0, 45, 100, 180, 15, 0,
            L"Tarvex Lumaglimpse successfully installed.", F::kLabel},
           {kStatic, "picture", kStaticClass, kPicture, 0, 79, 16, 85, 79, IDB_FINISH, nullptr, F::kNone},
           {IDC_FINISH_RESTART_NOW, "restart-now choice", kButton, kFirstRadio | kWrapped, 0, 46, 116, 189, 18, 0,
            L"Restart computer now to make Lumaglimpse effective.", F::kRadio},
           {IDC_FINISH_RESTART_LATER, "restart-later choice", kButton, kNextRadio | kWrapped, 0, 46, 140, 167, 18, 0,
            L"Restart computer later.", F::kRadio},
       }},
      {IDD_REPAIR_STEP_LIST, "maintenance step list", false, 135, 202, 8, L"Tahoma", nullptr,
       {
           {IDC_REPAIR_STEP_LABEL1, "repair step label", kStaticClass, kDimmed, 0, 33, 36, 73, 18, 0,
            L"Repair installation...", F::kLabel},
           // 27 high, not 18: the English text takes three lines.
           {IDC_REPAIR_STEP_LABEL2, "repaired step label", kStaticClass, kDimmed, 0, 33, 66, 71, 27, 0,
            L"Installation is successfully repaired", F::kLabel},
           {kStatic, "separator picture", kStaticClass, kPicture, 0, 113, 10, 5, 188, IDB_STEP_SEPARATOR, nullptr,
            F::kNone},
           {IDC_REPAIR_STEP_ICON1, "repair step icon", kStaticClass, kIcon, 0, 5, 31, 21, 20, IDI_STEP_PENDING,
            nullptr, F::kNone},
           {IDC_REPAIR_STEP_ICON2, "repaired step icon", kStaticClass, kIcon, 0, 5, 60, 21, 20, IDI_STEP_PENDING,
            nullptr, F::kNone},
       }},
      {IDD_REPAIR, "maintenance dialog", true, 380, 270, 8, L"Tahoma", L"Tarvex Lumaglimpse installation",
       {
           {IDOK, "Next button", kButton, BS_DEFPUSHBUTTON | kTab, 0, 238, 248, 50, 14, 0, L"&Next", F::kPushButton},
           {IDCANCEL, "Cancel button", kButton, BS_PUSHBUTTON | kTab, 0, 300, 248, 50, 14, 0, L"&Cancel",
            F::kPushButton},
           {kStatic, "separator line", kStaticClass, kSeparator, 0, 0, 239, 379, 1, 0, L"", F::kNone},
           {kStatic, "header picture", kStaticClass, kPicture | SS_CENTERIMAGE, 0, 0, 0, 379, 36, IDB_WIZARD_HEADER,
            nullptr, F::kNone},
           {IDC_REPAIR_REPAIR, "repair choice", kButton, kFirstRadio, 0, 79, 76, 178, 12, 0,
            L"Repair Tarvex Lumaglimpse installation", F::kRadio},
           {IDC_REPAIR_UNINSTALL, "uninstall choice", kButton, kNextRadio, 0, 79, 126, 178, 12, 0,
            L"Uninstall Tarvex Lumaglimpse", F::kRadio},
       }},
  };
}

}  // namespace

const std::vector<ExpectedDialog>& ExpectedDialogs() {
  static const std::vector<ExpectedDialog> dialogs = MakeDialogs();
  return dialogs;
}

const ExpectedDialog* FindExpectedDialog(int id) {
  for (const ExpectedDialog& d : ExpectedDialogs()) {
    if (d.id == id) return &d;
  }
  return nullptr;
}

const std::vector<RunTimeText>& RunTimeTexts() {
  static const std::vector<RunTimeText> texts = {
      // Next reads Next, Accept or Finish; Cancel reads Cancel or Decline.
      {IDD_WIZARD, IDOK, {IDS_NEXT, IDS_ACCEPT, IDS_FINISH}},
      {IDD_WIZARD, IDCANCEL, {IDS_CANCEL, IDS_DECLINE}},
      {IDD_FLASH, IDC_FLASH_THANKS, {IDS_FLASH_THANKS}},
      {IDD_INSTALL,
       IDC_INSTALL_STATUS,
       {IDS_STEP_SHORTCUTS, IDS_STEP_COPY_FILES, IDS_STEP_DRIVERS, IDS_STEP_UNINSTALLER, IDS_STEP_SOFTWARE_INFO}},
  };
  return texts;
}

const std::vector<SameAsString>& SameAsStrings() {
  static const std::vector<SameAsString> same = {
      {IDD_WIZARD, IDOK, IDS_NEXT},
      {IDD_WIZARD, IDCANCEL, IDS_CANCEL},
      {IDD_REPAIR, IDOK, IDS_NEXT},
      {IDD_REPAIR, IDCANCEL, IDS_CANCEL},
  };
  return same;
}

const std::vector<MnemonicScreen>& MnemonicScreens() {
  // The pages are control-parent children of the wizard, so a page's
  // mnemonics and the frame's buttons share one keyboard.
  static const std::vector<MnemonicScreen> screens = {
      {"welcome page in the wizard", {{IDD_WIZARD, IDC_WIZARD_BACK}, {0, IDS_NEXT}, {0, IDS_CANCEL}}},
      {"agreement page in the wizard",
       {{IDD_WIZARD, IDC_WIZARD_PRINT}, {IDD_WIZARD, IDC_WIZARD_BACK}, {0, IDS_ACCEPT}, {0, IDS_DECLINE}}},
      {"language page in the wizard",
       {{IDD_WIZARD, IDC_WIZARD_BACK}, {0, IDS_NEXT}, {0, IDS_CANCEL}, {IDD_SELECT_LANGUAGE, IDC_SELLANG_BROWSE}}},
      {"wizard frame template",
       {{IDD_WIZARD, IDC_WIZARD_PRINT}, {IDD_WIZARD, IDC_WIZARD_BACK}, {IDD_WIZARD, IDOK}, {IDD_WIZARD, IDCANCEL}}},
      {"finish page in the wizard",
       {{0, IDS_FINISH}, {IDD_FINISH, IDC_FINISH_RESTART_NOW}, {IDD_FINISH, IDC_FINISH_RESTART_LATER}}},
      {"maintenance dialog",
       {{IDD_REPAIR, IDOK}, {IDD_REPAIR, IDCANCEL}, {IDD_REPAIR, IDC_REPAIR_REPAIR},
        {IDD_REPAIR, IDC_REPAIR_UNINSTALL}}},
  };
  return screens;
}

}  // namespace zor::ui_check
