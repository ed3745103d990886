#pragma once
// Resource ids of the store's learn dialog and tree menus; a plug-in's script
// includes store_dialogs.rc, so these stay clear of the plug-in's own ids.
#define IDD_STORE_LEARN 300
#define IDC_LEARN_REMOTE 301
#define IDC_LEARN_NAME 302
#define IDC_LEARN_PROGRESS 303
#define IDC_LEARN_ANOTHER 304
#define IDC_LEARN_HINT 305

#define ID_STORE_LEARN 310
#define ID_STORE_DELETE_BUTTON 311
#define ID_STORE_RENAME_BUTTON 312
#define ID_STORE_NEW_REMOTE 313
#define ID_STORE_DELETE_REMOTE 314
#define ID_STORE_RENAME_REMOTE 315
