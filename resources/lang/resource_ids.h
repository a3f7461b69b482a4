// Resource ids of the setup's user-interface resources.
//
// Every language module carries the same ids, and so does the setup program
// for its built-in Simplified Chinese copy; the setup loads them from whichever
// module is the current resource source. Keep this header plain #defines: it
// is read by windres as well as by the C++ compiler.
#ifndef ZOR_RESOURCES_LANG_RESOURCE_IDS_H
#define ZOR_RESOURCES_LANG_RESOURCE_IDS_H

// Dialog templates.
#define IDD_ABOUTBOX              100
#define IDD_INSTALL               102  // install page with the progress bar
#define IDD_WELCOME               130
#define IDD_AGREEMENT             131
#define IDD_SELECT_LANGUAGE       133  // language and destination folder
#define IDD_FLASH                 136
#define IDD_WIZARD                137  // wizard frame
#define IDD_STEP_LIST             138
#define IDD_FINISH                146
#define IDD_REPAIR_STEP_LIST      156
#define IDD_REPAIR                157  // maintenance dialog

// Bitmaps.
#define IDB_WIZARD_HEADER         130
#define IDB_FINISH                131
#define IDB_STEP_SEPARATOR        150
#define IDB_FLASH_BACKGROUND      158

// Controls of the install page (IDD_INSTALL).
#define IDC_INSTALL_STATUS        1002
#define IDC_INSTALL_PROGRESS      1013

// Controls of the wizard frame (IDD_WIZARD); IDOK (1) is Next, IDCANCEL (2)
// Cancel.
#define IDC_WIZARD_BACK           3
#define IDC_WIZARD_PRINT          4
#define IDC_WIZARD_SEPARATOR      1008
#define IDC_WIZARD_HEADER         1020

// Welcome page (IDD_WELCOME).
#define IDC_WELCOME_TITLE         1005

// Agreement page (IDD_AGREEMENT).
#define IDC_AGREEMENT_TEXT        1003
#define IDC_AGREEMENT_LANGUAGE    1007

// Language and destination page (IDD_SELECT_LANGUAGE).
#define IDC_SELLANG_BROWSE        1000
#define IDC_SELLANG_FOLDER_LABEL  1004
#define IDC_SELLANG_FOLDER        1005
#define IDC_SELLANG_LANGUAGE      1008

// Flash page (IDD_FLASH).
#define IDC_FLASH_VERSION         1008
#define IDC_FLASH_THANKS          1019

// Step list (IDD_STEP_LIST): row n has label 1007 + n and icon 1013 + n.
#define IDC_STEP_LABEL1           1008
#define IDC_STEP_LABEL2           1009
#define IDC_STEP_LABEL3           1010
#define IDC_STEP_LABEL4           1011
#define IDC_STEP_LABEL5           1012
#define IDC_STEP_ICON1            1014
#define IDC_STEP_ICON2            1015
#define IDC_STEP_ICON3            1016
#define IDC_STEP_ICON4            1017
#define IDC_STEP_ICON5            1018

// Finish page (IDD_FINISH).
#define IDC_FINISH_RESTART_NOW    1004
#define IDC_FINISH_RESTART_LATER  1005

// Maintenance dialog (IDD_REPAIR); IDOK is Next, IDCANCEL Cancel.
#define IDC_REPAIR_REPAIR         1004
#define IDC_REPAIR_UNINSTALL      1005

// Maintenance step list (IDD_REPAIR_STEP_LIST).
#define IDC_REPAIR_STEP_LABEL1    1011
#define IDC_REPAIR_STEP_LABEL2    1012
#define IDC_REPAIR_STEP_ICON1     1017
#define IDC_REPAIR_STEP_ICON2     1018

// Icons. The step-state icons are always taken from the setup program itself,
// never from a language module, so modules do not carry them.
#define IDR_MAINFRAME             128
#define IDI_STEP_DONE             147
#define IDI_STEP_CURRENT          148
#define IDI_STEP_PENDING          149

// String table. The link strings (IDS_LINK_*) are appended to a shell folder
// path, so each starts with a backslash; the folder part "\Tarvex Lumaglimpse\"
// is the same in every language because the setup creates that folder itself.
#define IDS_ABOUT_MENU            101  // wizard system menu entry
#define IDS_SETUP_CAPTION         102  // caption of every message box
#define IDS_PACKAGE_DAMAGED       104
#define IDS_UNSUPPORTED_OS        105
#define IDS_NEED_ADMIN            108
#define IDS_STEP_SHORTCUTS        109
#define IDS_STEP_COPY_FILES       110
#define IDS_STEP_DRIVERS          111
#define IDS_STEP_UNINSTALLER      112
#define IDS_STEP_SOFTWARE_INFO    113
#define IDS_FILES_NOT_UNPACKED    114  // files of the package could not be installed
#define IDS_FINISH                116
#define IDS_LINK_QUICK_LAUNCH     117
#define IDS_LINK_PROGRAM          118
#define IDS_LINK_HELP             119
#define IDS_LINK_UNINSTALL        120
#define IDS_FLASH_THANKS          121
#define IDS_INVALID_FOLDER        123
#define IDS_LINK_DESKTOP          126
#define IDS_ACCEPT                127
#define IDS_DECLINE               128
#define IDS_NEXT                  129
#define IDS_CANCEL                130
#define IDS_UNINSTALLER_MISSING   160  // the uninstaller could not be started

#endif
