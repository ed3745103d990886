#include "vexa/shell/win/action_sources.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>

#include "vexa/base/program_messages.h"
#include "vexa/exec/win/window_list.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

HWND findNamedWindow(const std::string& name) {
  if (name.empty()) return nullptr;
  exec::CWindowList list;
  list.refresh(false, name.find(kChildSeparator) != std::string::npos);
  return list.find(name);
}

bool loadKeyTable(const std::filesystem::path& programFolder, std::vector<KeyTableEntry>& entries) {
  std::ifstream in(programFolder / std::string(kKeyTableFile), std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  // The file is in the system's code page; inside the program text is UTF-8.
  entries = parseKeyTable(win::toUtf8(win::ansiToWide(text.str())));
  return true;
}

CKeyboardHookSuspension::CKeyboardHookSuspension(HWND mainWindow) : m_main(mainWindow) {
  if (m_main) SendMessageW(m_main, ProgramMessage::kSuspendKeyboardHook, 0, 0);
}

CKeyboardHookSuspension::~CKeyboardHookSuspension() {
  if (m_main && IsWindow(m_main)) SendMessageW(m_main, ProgramMessage::kResumeKeyboardHook, 0, 0);
}

void CHotKeyField::Attach(HWND control, HWND mainWindow) {
  Detach();
  m_control = control;
  m_main = mainWindow;
  if (m_control) SetWindowSubclass(m_control, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void CHotKeyField::Detach() {
  delete m_suspension;
  m_suspension = nullptr;
  if (m_control && IsWindow(m_control)) RemoveWindowSubclass(m_control, Proc, 1);
  m_control = nullptr;
}

uint32_t CHotKeyField::Value() const {
  const auto word = static_cast<uint32_t>(SendMessageW(m_control, HKM_GETHOTKEY, 0, 0));
  return ((word >> 8 & 0xFF) << 16) + (word & 0xFF);
}

void CHotKeyField::SetValue(uint32_t hotKey) {
  SendMessageW(m_control, HKM_SETHOTKEY, MAKEWORD(hotKey & 0xFF, (hotKey >> 16) & 0xFF), 0);
}

LRESULT CALLBACK CHotKeyField::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<CHotKeyField*>(data);
  switch (msg) {
    case WM_SETFOCUS:
      if (!self->m_suspension) self->m_suspension = new CKeyboardHookSuspension(self->m_main);
      break;
    case WM_KILLFOCUS:
    case WM_DESTROY:
      delete self->m_suspension;
      self->m_suspension = nullptr;
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace vexa::shell
