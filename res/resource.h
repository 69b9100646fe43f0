#pragma once
// Resource ids of Dovrel.exe, by kind.

// Icons
#define IDI_PROGRAM 128

// Menus and their commands
#define IDR_TRAY_MENU 103
#define IDM_QUIT 40002
#define IDM_SETTING 40003

// Dialogs and their controls
#define IDD_WARNING 101
#define IDD_ALERT 102
#define IDC_WARNING_TEXT 1000
#define IDC_ALERT_MESSAGE 1001
#define IDC_ALERT_DATE 1002
#define IDC_ALERT_FROM 1003
#define IDC_ALERT_REPEATS 1004  // made at run time, when a window takes its first repeat

// Strings: the start-up warnings, Japanese; the English text of each has
// its id + IDS_ENGLISH_OFFSET
#define IDS_ALREADY_RUNNING 201
#define IDS_SETTINGS_READ_FAILED 202
#define IDS_START_FAILED 203
#define IDS_ENGLISH_OFFSET 10
#define IDS_ALREADY_RUNNING_EN 211
#define IDS_SETTINGS_READ_FAILED_EN 212
#define IDS_START_FAILED_EN 213
