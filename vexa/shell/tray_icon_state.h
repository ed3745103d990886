#pragma once
// Which icon the tray shows: the device's state (idle or ready), or for a
// moment the busy icon while a command starts.
#include <optional>
#include <string>
#include <string_view>

namespace vexa::shell {

enum class TrayIcon { Idle, Ready, Busy };

// The tray tip for a status text: the text itself, cut to 60 characters and
// "..." when it is longer than 63; the program's name while there is none.
std::wstring trayTipText(std::wstring_view status, std::wstring_view programName);

// The tray menu's device item. "&Deactivate" stops a running device of either
// plug-in generation; while a selected device is stopped the item reads
// "&Activate" and starts it again; without a device (keyboard mode) it is greyed.
struct DeviceMenuItem {
  const wchar_t* text;
  bool activates;
  bool enabled;
};
DeviceMenuItem deviceMenuItem(bool deviceSelected, bool running);

class CTrayIconState {
 public:
  // Each call returns the icon to show now, or nothing when the shown one stays.
  std::optional<TrayIcon> SetReady(bool ready);
  // A command starts: the busy icon until FlashEnded.
  std::optional<TrayIcon> Flash();
  std::optional<TrayIcon> FlashEnded();

  TrayIcon Shown() const { return m_flashing ? TrayIcon::Busy : StateIcon(); }
  bool Flashing() const { return m_flashing; }

 private:
  TrayIcon StateIcon() const { return m_ready ? TrayIcon::Ready : TrayIcon::Idle; }
  std::optional<TrayIcon> Change(TrayIcon before);

  bool m_ready = false;
  bool m_flashing = false;
};

}  // namespace vexa::shell
