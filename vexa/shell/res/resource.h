#pragma once
// Resource identifiers shared by the resource script and the code.
#define IDI_VEXA 1
#define IDI_GROUP_GENERAL 10
#define IDI_GROUP_HARDWARE 11
#define IDI_GROUP_ACTIONS 12

#define IDR_MAIN_MENU 100
#define IDR_TRAY_MENU 101

// Menu commands (also sent by the buttons of the main window).
#define ID_FILE_SAVE_PRESET 1101
#define ID_FILE_IMPORT_PRESET 1102
#define ID_FILE_SCAN_APPLICATIONS 1103
#define ID_APP_EXIT 1002
#define ID_VIEW_GENERAL 1111
#define ID_VIEW_HARDWARE 1112
#define ID_VIEW_ACTIONS 1113
#define ID_PREFS_PRESET_MANAGER 1121
#define ID_PREFS_WINAMP 1122
#define ID_PREFS_OSD 1123
#define ID_HELP_CONTENTS 1131
#define ID_HELP_ABOUT 1132
#define ID_TRAY_OPEN 1001
#define ID_TRAY_DEACTIVATE 1141
#define ID_TRAY_ACTIVATE 1142
#define ID_BUTTON_HIDE 1151
#define ID_BUTTON_APPLY 1152
// One item per preset file of the "presets" folder, from this number on.
#define ID_PRESET_FIRST 1200
#define ID_PRESET_LAST 1399

// The option pages.
#define IDD_GENERAL_OPTIONS 200
#define IDC_START_WITH_WINDOWS 201
#define IDC_HIDE_ON_STARTUP 202
#define IDC_SHUTDOWN_WINDOW 203
#define IDC_DISABLE_MULTITHREADING 204
#define IDC_LEAVE_FOCUS 205
#define IDC_NO_EXIT_CONFIRMATION 206
#define IDC_REP_THRESHOLD 207
#define IDC_TYPEMATIC_DELAY 208

#define IDD_SERVER 220
#define IDC_SERVER_PORT 221
#define IDC_SERVER_OTHER_MACHINES 222
#define IDC_SERVER_LOG 223
#define IDC_SERVER_NOTE 224

#define IDD_SHUTDOWN 240
#define IDC_SHUTDOWN_PROGRESS 241

// Tray icons: no device, device ready, and the flash while a command starts.
#define IDI_TRAY_BUSY 545
#define IDI_TRAY_IDLE 546
#define IDI_TRAY_READY 547
