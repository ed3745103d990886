#pragma once
// Resource identifiers of the on-screen display's settings page (osd.rc).
#define IDD_OSD_SETTINGS 2100
#define IDC_OSD_POSITION 2101
#define IDC_OSD_TIMEOUT 2102
#define IDC_OSD_BACKGROUND 2103
#define IDC_OSD_TRANSPARENT 2104
#define IDC_OSD_TEXT_COLOUR 2105
#define IDC_OSD_FONT 2106
#define IDC_OSD_FONT_NAME 2107
#define IDC_OSD_SINGLE_BUTTON 2108
#define IDC_OSD_EXTRA_BUTTON 2109
#define IDC_OSD_SELECTOR_COMMAND 2110
#define IDC_OSD_PREVIEW 2111
