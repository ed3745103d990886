#include "vexa/shell/tray_icon_state.h"

namespace vexa::shell {

std::wstring trayTipText(std::wstring_view status, std::wstring_view programName) {
  constexpr size_t kWhole = 63, kCut = 60;
  if (status.empty()) return std::wstring(programName);
  if (status.size() <= kWhole) return std::wstring(status);
  return std::wstring(status.substr(0, kCut)) + L"...";
}

DeviceMenuItem deviceMenuItem(bool deviceSelected, bool running) {
  if (deviceSelected && !running) return {L"&Activate", true, true};
  return {L"&Deactivate", false, deviceSelected && running};
}

std::optional<TrayIcon> CTrayIconState::Change(TrayIcon before) {
  if (Shown() == before) return std::nullopt;
  return Shown();
}

std::optional<TrayIcon> CTrayIconState::SetReady(bool ready) {
  const TrayIcon before = Shown();
  m_ready = ready;
  // During a flash the new state waits for its end, else the flash would be cut short.
  return Change(before);
}

std::optional<TrayIcon> CTrayIconState::Flash() {
  const TrayIcon before = Shown();
  m_flashing = true;
  return Change(before);
}

std::optional<TrayIcon> CTrayIconState::FlashEnded() {
  const TrayIcon before = Shown();
  m_flashing = false;
  return Change(before);
}

}  // namespace vexa::shell
