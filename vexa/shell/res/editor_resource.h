#pragma once
// Resource identifiers of the command editor's pages and dialogs (editor.rc).

// ---- Templates and menus
#define IDD_COMMAND_PAGE 2000
#define IDD_COMMAND_DEFINITION 2001
#define IDD_ACTION_DEFINITION 2002
#define IDD_WINDOW_PICKER 2003
#define IDD_KEYSTROKE_TABLE 2004
#define IDD_EXPLANATION_PAGE 2005
#define IDD_MOUSE_POSITION_TOOL 2006
#define IDD_MESSAGE_CAPTURE 2007
#define IDM_ACTION_LIST 2010

// ---- Command editor page
#define IDC_CE_TITLE 2100
#define IDC_CE_TABS 2101
#define IDC_CE_LAYOUT_LABEL 2102
#define IDC_CE_LAYOUT_NAME 2103
#define IDC_CE_TOOLBAR 2104
#define IDC_CE_ACTIONS 2105
#define IDC_CE_HOTKEY_LABEL 2106
#define IDC_CE_HOTKEY 2107
#define IDC_CE_REPEAT 2108
#define IDC_CE_NO_OSD 2109
#define IDC_CE_ADD_LAYOUT 2110
#define IDC_CE_REMOVE_LAYOUT 2111
#define IDC_CE_BUTTON_LABEL 2112
#define IDC_CE_BUTTON 2113
#define IDC_CE_CAPTURE 2114
#define IDC_CE_HOLD_LABEL 2115
#define IDC_CE_HOLD_MS 2116
#define IDC_CE_HOLD_RUNS 2117
#define IDC_CE_HOLD_TARGET 2118
#define IDC_CD_PAGE 2120

// Commands of the action list's menu and toolbar.
#define IDC_ACTION_NEW 2150
#define IDC_ACTION_EDIT 2151
#define IDC_ACTION_DELETE 2152
#define IDC_ACTION_CUT 2153
#define IDC_ACTION_COPY 2154
#define IDC_ACTION_PASTE 2155
#define IDC_ACTION_UP 2156
#define IDC_ACTION_DOWN 2157

// ---- Action Definition
#define IDC_AD_NAME 2200
#define IDC_AD_TREE 2201
#define IDC_AD_LABEL1 2202
#define IDC_AD_FIELD1 2203
#define IDC_AD_CHOICES1 2204
#define IDC_AD_BROWSE1 2205
#define IDC_AD_LABEL2 2206
#define IDC_AD_FIELD2 2207
#define IDC_AD_BROWSE2 2208
#define IDC_AD_DELAY 2209
#define IDC_AD_SLIDER 2210
#define IDC_AD_DELAY_MS 2211

// ---- Window picker, keystroke table, explanation page
#define IDC_WP_TREE 2300
#define IDC_WP_REFRESH 2301
#define IDC_WP_MARK 2302
#define IDC_WP_VISIBLE 2303
#define IDC_WP_CLASS_ONLY 2304
#define IDC_KT_LIST 2310
#define IDC_KT_HOTKEY 2311
#define IDC_KT_MESSAGE 2312
#define IDC_EX_FRAME 2320
#define IDC_EX_TEXT 2321

// ---- Mouse Position Tool, Message Capture
#define IDC_MP_DESKTOP 2400
#define IDC_MP_WINDOW 2401
#define IDC_MP_CLASS_ONLY 2402
#define IDC_MP_NOW_X 2403
#define IDC_MP_NOW_Y 2404
#define IDC_MP_NOW_NAME 2405
#define IDC_MP_X 2406
#define IDC_MP_X_SPIN 2407
#define IDC_MP_Y 2408
#define IDC_MP_Y_SPIN 2409
#define IDC_MP_NAME 2410
#define IDC_MC_TARGET 2420
#define IDC_MC_LIST 2421
#define IDC_MC_TEST 2422
#define IDC_MC_CLEAR 2423
#define IDC_MC_WINDOW 2424
