#include "vexa/shell/win/action_sources.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <ras.h>
#include <raserror.h>

#include <fstream>
#include <sstream>

#include "vexa/base/program_messages.h"
#include "vexa/exec/win/window_list.h"
#include "vexa/model/catalogue.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

std::vector<std::string> displayModeChoices() {
  std::vector<std::string> modes;
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  for (DWORD i = 0; EnumDisplaySettingsW(nullptr, i, &mode); ++i)
    appendUnique(modes, displayModeText(mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel,
                                        mode.dmDisplayFrequency > 1 ? mode.dmDisplayFrequency : 0));
  return modes;
}

std::vector<std::string> mixerControlChoices(int actionType) {
  std::vector<std::string> names;
  const bool mute = actionType == 30;
  std::vector<DWORD> destinations;
  if (actionType == 20)
    destinations = {MIXERLINE_COMPONENTTYPE_DST_WAVEIN};
  else
    destinations = {MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERLINE_COMPONENTTYPE_DST_HEADPHONES};
  const DWORD wanted = mute ? MIXERCONTROL_CONTROLTYPE_MUTE : MIXERCONTROL_CONTROLTYPE_VOLUME;
  for (UINT device = 0; device < mixerGetNumDevs(); ++device) {
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, device, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) continue;
    const auto hasControl = [&](DWORD lineId) {
      MIXERCONTROLW control{};
      MIXERLINECONTROLSW controls{};
      controls.cbStruct = sizeof controls;
      controls.dwLineID = lineId;
      controls.dwControlType = wanted;
      controls.cControls = 1;
      controls.cbmxctrl = sizeof control;
      controls.pamxctrl = &control;
      return mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer), &controls,
                                   MIXER_GETLINECONTROLSF_ONEBYTYPE | MIXER_OBJECTF_HMIXER) == MMSYSERR_NOERROR;
    };
    for (DWORD type : destinations) {
      MIXERLINEW line{};
      line.cbStruct = sizeof line;
      line.dwComponentType = type;
      if (mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer), &line,
                            MIXER_GETLINEINFOF_COMPONENTTYPE | MIXER_OBJECTF_HMIXER) != MMSYSERR_NOERROR)
        continue;
      if (hasControl(line.dwLineID)) appendUnique(names, win::toUtf8(line.szName));
      for (DWORD source = 0; source < line.cConnections; ++source) {
        MIXERLINEW connection{};
        connection.cbStruct = sizeof connection;
        connection.dwDestination = line.dwDestination;
        connection.dwSource = source;
        if (mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer), &connection,
                              MIXER_GETLINEINFOF_SOURCE | MIXER_OBJECTF_HMIXER) == MMSYSERR_NOERROR &&
            hasControl(connection.dwLineID))
          appendUnique(names, win::toUtf8(connection.szName));
      }
    }
    mixerClose(mixer);
  }
  return names;
}

std::vector<std::string> dialUpChoices(const wchar_t* library) {
  using EnumEntries = DWORD(WINAPI*)(LPCSTR, LPCSTR, LPRASENTRYNAMEA, LPDWORD, LPDWORD);
  const std::vector<std::string> none{std::string(kDialUpNotAvailable)};
  const HMODULE module = LoadLibraryW(library);
  if (!module) return none;
  auto enumEntries = reinterpret_cast<EnumEntries>(reinterpret_cast<void*>(GetProcAddress(module, "RasEnumEntriesA")));
  if (!enumEntries)
    enumEntries = reinterpret_cast<EnumEntries>(reinterpret_cast<void*>(GetProcAddress(module, "RasEnumEntries")));
  if (!enumEntries) {
    FreeLibrary(module);
    return none;
  }
  std::vector<RASENTRYNAMEA> entries(16);
  entries[0].dwSize = sizeof(RASENTRYNAMEA);
  DWORD bytes = static_cast<DWORD>(entries.size() * sizeof(RASENTRYNAMEA));
  DWORD count = 0;
  DWORD result = enumEntries(nullptr, nullptr, entries.data(), &bytes, &count);
  if (result == ERROR_BUFFER_TOO_SMALL) {
    entries.resize(bytes / sizeof(RASENTRYNAMEA) + 1);
    entries[0].dwSize = sizeof(RASENTRYNAMEA);
    result = enumEntries(nullptr, nullptr, entries.data(), &bytes, &count);
  }
  std::vector<std::string> names;
  if (result == 0)
    for (DWORD i = 0; i < count && i < entries.size(); ++i)
      names.push_back(win::toUtf8(win::ansiToWide(entries[i].szEntryName)));
  FreeLibrary(module);
  return names;
}

namespace {
BOOL CALLBACK addWindowTitle(HWND window, LPARAM lp) {
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t title[512] = {};
  if (GetWindowTextW(window, title, 512) > 0)
    appendUnique(*reinterpret_cast<std::vector<std::string>*>(lp), win::toUtf8(title));
  return TRUE;
}
}  // namespace

std::vector<std::string> openWindowTitles() {
  std::vector<std::string> titles;
  EnumWindows(addWindowTitle, reinterpret_cast<LPARAM>(&titles));
  return titles;
}

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
