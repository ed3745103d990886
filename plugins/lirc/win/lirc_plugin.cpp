#include "plugins/lirc/win/lirc_plugin.h"

#include "plugins/kit/win/module_info.h"
#include "plugins/lirc/win/resource.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/unicode.h"

namespace vexa::lirc {

namespace {

std::optional<std::string> readString(const win::CRegKey& key, const wchar_t* name) {
  const auto value = key.QueryString(name);
  if (!value) return std::nullopt;
  return win::wideToAnsi(*value);
}

}  // namespace

CLircPlugin& CLircPlugin::Instance() {
  static CLircPlugin plugin;
  return plugin;
}

CLircPlugin::CLircPlugin() : m_client([this] { return CurrentFields(); }) {}

LircFields CLircPlugin::CurrentFields() const {
  return m_dialog && m_dialog->Handle() ? m_dialog->Fields() : m_saved;
}

void CLircPlugin::ReadConfig(HKEY handle) {
  // The host keeps the key; only borrowed here.
  win::CRegKey key(handle);
  StoredValues stored;
  stored.ip = readString(key, L"IP");
  stored.port = key.QueryDword(L"PORT");
  stored.autoStart = key.QueryDword(L"AutoStart");
  stored.path = readString(key, L"LIRC Path");
  stored.reconnect = key.QueryDword(L"Reconnect");
  key.Detach();
  m_saved = fieldsFromStored(stored);
  if (m_dialog && m_dialog->Handle()) m_dialog->ShowFields(m_saved);
}

bool CLircPlugin::WriteConfig(HKEY handle) {
  const LircFields fields = CurrentFields();
  const StoredValues stored = storedFromFields(fields);
  win::CRegKey key(handle);
  bool ok = key.SetString(L"IP", win::ansiToWide(*stored.ip));
  ok = key.SetDword(L"PORT", *stored.port) && ok;
  ok = key.SetDword(L"AutoStart", *stored.autoStart) && ok;
  ok = key.SetString(L"LIRC Path", win::ansiToWide(*stored.path)) && ok;
  ok = key.SetDword(L"Reconnect", *stored.reconnect) && ok;
  key.Detach();
  m_saved = fields;
  m_saved.autoStart = *stored.autoStart != 0;
  m_client.RestartReconnectTimer(reconnectPeriod(fields));
  if (m_dialog && m_dialog->Handle()) m_dialog->UpdateEnabling();
  return ok;
}

HWND CLircPlugin::CreateSetupPage(const POINT& position, HWND parent) {
  m_client.SetHost(parent);
  m_dialog = std::make_unique<CSetupDialog>(static_cast<ISetupOwner&>(*this), m_saved);
  if (!m_dialog->Create(parent, kit::thisModule(), IDD_LIRC_SETUP)) {
    m_dialog.reset();
    return nullptr;
  }
  SetWindowPos(m_dialog->Handle(), HWND_TOP, position.x, position.y, 0, 0, SWP_NOSIZE);
  return m_dialog->Handle();
}

bool CLircPlugin::Start(HWND hostWindow) {
  // The page's parent is the host window; without a page the caller's is used.
  if (!m_client.Host()) m_client.SetHost(hostWindow);
  return m_client.StartSession();
}

void CLircPlugin::Stop() { m_client.Disconnect(); }

void CLircPlugin::Release() {}

void CLircPlugin::OnConnectClicked() { m_client.UserConnect(); }

void CLircPlugin::OnFieldsEdited() {
  const unsigned code = sameAsSaved(m_dialog->Fields(), m_saved) ? abi::MainCode::kSettingsSaved
                                                                 : abi::MainCode::kSettingsChanged;
  SendMessageA(m_client.Host(), abi::kVexaMessage, code, 0);
}

void CLircPlugin::OnSetupShown() { m_client.RestartReconnectTimer(reconnectPeriod(m_saved)); }

}  // namespace vexa::lirc
