// gen_vexa.dll: the media player's general plug-in as the program sees it.
// VexaConfig shows its configuration dialog, which names where the plug-in
// lives (the program finds it there through its App Paths entry).
#include <windows.h>

#include "modules/gen_vexa/resource.h"

namespace {

HINSTANCE g_module = nullptr;  // for the dialog template; set once at load

INT_PTR CALLBACK configProc(HWND dialog, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: {
      wchar_t path[MAX_PATH] = L"";
      GetModuleFileNameW(g_module, path, MAX_PATH);
      SetDlgItemTextW(dialog, IDC_GEN_VEXA_PATH, path);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wp));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

// Exported by plain name through the .def file.
extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = module;
  return TRUE;
}

void WINAPI VexaInit() {}

void WINAPI VexaConfig() {
  DialogBoxParamW(g_module, MAKEINTRESOURCEW(IDD_GEN_VEXA_CONFIG), GetActiveWindow(), configProc, 0);
}

// Nothing of the player is held outside the dialog.
void WINAPI WinAmpQuit() {}

}  // extern "C"
