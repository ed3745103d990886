#include "vexa/shell/win/option_pages.h"

#include <utility>

#include "vexa/base/program_messages.h"
#include "vexa/shell/res/resource.h"

namespace vexa::shell {

namespace {

// Milliseconds a person could mean for the repeat rules; a minute is plenty.
constexpr uint32_t kMaxDelayMs = 60000;
constexpr uint32_t kMaxPort = 65535;

constexpr std::pair<int, ProgramOptions::Bit> kGeneralBoxes[] = {
    {IDC_START_WITH_WINDOWS, ProgramOptions::kStartWithWindows},
    {IDC_HIDE_ON_STARTUP, ProgramOptions::kHideOnStartup},
    {IDC_SHUTDOWN_WINDOW, ProgramOptions::kShowShutdownWindow},
    {IDC_DISABLE_MULTITHREADING, ProgramOptions::kDisableMultithreading},
    {IDC_LEAVE_FOCUS, ProgramOptions::kLeaveFocusAfterKeystroke},
    {IDC_NO_EXIT_CONFIRMATION, ProgramOptions::kNoExitConfirmation},
};

constexpr std::pair<int, ProgramOptions::Bit> kServerBoxes[] = {
    {IDC_SERVER_OTHER_MACHINES, ProgramOptions::kServerForOtherMachines},
    {IDC_SERVER_LOG, ProgramOptions::kEnableLog},
};

std::wstring rangeMessage(uint32_t low, uint32_t high) {
  return L"Please enter a number from " + std::to_wstring(low) + L" to " + std::to_wstring(high) + L".";
}

}  // namespace

bool COptionPage::Create(HWND parent, int templateId) {
  return CModelessDialog::Create(parent, GetModuleHandleW(nullptr), templateId);
}

void COptionPage::Show(const ProgramSettings& settings) {
  m_filling = true;
  Fill(settings);
  m_filling = false;
}

bool COptionPage::OnCommand(int id, int notification, HWND control) {
  const bool edited = notification == EN_CHANGE || (notification == BN_CLICKED && id != IDOK && id != IDCANCEL);
  if (edited && !m_filling) SendMessageW(GetParent(m_hwnd), ProgramMessage::kPageSettingsChanged, 0, 0);
  return CModelessDialog::OnCommand(id, notification, control);
}

std::optional<uint32_t> COptionPage::Number(int control, uint32_t low, uint32_t high) const {
  const auto value = ItemInt(control);
  if (!value || *value < 0 || static_cast<uint32_t>(*value) < low || static_cast<uint32_t>(*value) > high)
    return std::nullopt;
  return static_cast<uint32_t>(*value);
}

void CGeneralOptionsPage::Fill(const ProgramSettings& settings) {
  for (const auto& [box, bit] : kGeneralBoxes) CheckButton(box, settings.options.has(bit));
  SetItemInt(IDC_REP_THRESHOLD, static_cast<int>(settings.repThresholdMs));
  SetItemInt(IDC_TYPEMATIC_DELAY, static_cast<int>(settings.typematicDelayMs));
}

std::optional<PageError> CGeneralOptionsPage::Store(ProgramSettings& settings) const {
  const auto repeat = Number(IDC_REP_THRESHOLD, 0, kMaxDelayMs);
  if (!repeat) return PageError{IDC_REP_THRESHOLD, rangeMessage(0, kMaxDelayMs)};
  const auto typematic = Number(IDC_TYPEMATIC_DELAY, 0, kMaxDelayMs);
  if (!typematic) return PageError{IDC_TYPEMATIC_DELAY, rangeMessage(0, kMaxDelayMs)};
  for (const auto& [box, bit] : kGeneralBoxes) settings.options.set(bit, IsButtonChecked(box));
  settings.repThresholdMs = *repeat;
  settings.typematicDelayMs = *typematic;
  return std::nullopt;
}

void CServerPage::Fill(const ProgramSettings& settings) {
  for (const auto& [box, bit] : kServerBoxes) CheckButton(box, settings.options.has(bit));
  SetItemInt(IDC_SERVER_PORT, static_cast<int>(settings.serverPort));
}

std::optional<PageError> CServerPage::Store(ProgramSettings& settings) const {
  const auto port = Number(IDC_SERVER_PORT, 1, kMaxPort);
  if (!port) return PageError{IDC_SERVER_PORT, rangeMessage(1, kMaxPort)};
  for (const auto& [box, bit] : kServerBoxes) settings.options.set(bit, IsButtonChecked(box));
  settings.serverPort = *port;
  return std::nullopt;
}

}  // namespace vexa::shell
