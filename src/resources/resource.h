#pragma once
// Resource identifiers shared by the .rc files and the code.

#define IDD_PAGE_LAUNCHER 101
#define IDD_PAGE_GROUPSTART 102
#define IDD_PAGE_OPTIONS 103
#define IDD_ABOUT 110

#define IDC_LABEL_TRAY_ICONS 1001
#define IDC_LABEL_FLOATING_ICONS 1002

#define IDC_ABOUT_ICON 1101
#define IDC_ABOUT_TITLE 1102
#define IDC_ABOUT_VERSION 1103
#define IDC_ABOUT_TEXT 1104
#define IDC_ABOUT_DATA_FOLDER 1105
