#include "vexa/shell/win/locate_dialog.h"

#include <commdlg.h>

#include "vexa/winlib/controls.h"
#include "vexa/winlib/unicode.h"
#include "vexa/winlib/window.h"

namespace vexa::shell {

namespace {

constexpr const wchar_t* kClass = L"VexaLocateDialog";
enum : UINT { kPath = 500, kBrowse };

class CLocateDialog : public win::CWindow {
 public:
  explicit CLocateDialog(const LocateDialogHooks& hooks) : m_hooks(hooks) {}

  std::optional<std::string> Run(HWND owner, std::string_view fileName) {
    if (!RegisterWindowClass(kClass)) return std::nullopt;
    const std::wstring title = L"Locate " + win::toWide(fileName);
    if (!Create(kClass, title, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
                {CW_USEDEFAULT, CW_USEDEFAULT, 460, 230}, owner))
      return std::nullopt;
    AddControls();
    if (owner) EnableWindow(owner, FALSE);
    Show(SW_SHOW);
    if (m_hooks.shown) m_hooks.shown(Handle());
    MSG msg;
    while (!m_done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (!IsDialogMessageW(Handle(), &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    if (owner) {
      EnableWindow(owner, TRUE);
      SetActiveWindow(owner);
    }
    Destroy();
    return m_result;
  }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_COMMAND) {
      switch (LOWORD(wp)) {
        case IDOK: Accept(); return 0;
        case IDCANCEL: m_done = true; return 0;
        case kBrowse: Browse(); return 0;
      }
    }
    if (msg == WM_CLOSE) {
      m_done = true;
      return 0;
    }
    return CWindow::OnMessage(msg, wp, lp);
  }

 private:
  void AddControls() {
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const auto add = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, UINT id) {
      const HWND c = win::CreateChildControl(Handle(), cls, text, WS_VISIBLE | style, id, {x, y, w, h});
      SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    };
    add(L"STATIC", kLocatePrompt, 0, 12, 10, 420, 18, 0xFFFF);
    add(L"EDIT", L"", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 12, 32, 380, 22, kPath);
    add(L"BUTTON", L"...", WS_TABSTOP, 400, 32, 32, 22, kBrowse);
    add(L"STATIC", kLocateNote, 0, 12, 64, 420, 54, 0xFFFF);
    add(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 230, 150, 96, 26, IDOK);
    add(L"BUTTON", L"Cancel", WS_TABSTOP, 336, 150, 96, 26, IDCANCEL);
  }

  std::wstring Typed() const {
    return win::WindowText(GetDlgItem(Handle(), kPath));
  }

  // Asks again until the file exists or the box was emptied.
  void Accept() {
    if (auto path = m_hooks.accept(win::toUtf8(Typed()))) {
      m_result = std::move(path);
      m_done = true;
      return;
    }
    SetFocus(GetDlgItem(Handle(), kPath));
  }

  void Browse() {
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = L"Executable files (*.exe)\0*.exe\0All files (*.*)\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameW(&ofn)) SetWindowTextW(GetDlgItem(Handle(), kPath), file);
  }

  const LocateDialogHooks& m_hooks;
  std::optional<std::string> m_result;
  bool m_done = false;
};

}  // namespace

std::optional<std::string> runLocateDialog(HWND owner, std::string_view fileName, const LocateDialogHooks& hooks) {
  CLocateDialog dialog(hooks);
  return dialog.Run(owner, fileName);
}

}  // namespace vexa::shell
