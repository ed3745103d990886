// The plug-in's exports: plain functions with the callee-pops convention,
// exported undecorated through lirc.def.
#include <winsock2.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "plugins/kit/exports.h"
#include "plugins/kit/win/module_info.h"
#include "plugins/lirc/win/lirc_client.h"
#include "plugins/lirc/win/lirc_plugin.h"

using vexa::lirc::CLircPlugin;

namespace {

// The library cannot work without sockets: say what the system offered and refuse to load.
bool startSockets() {
  WSADATA data{};
  const int failed = WSAStartup(MAKEWORD(1, 1), &data);
  if (!failed && data.wVersion == MAKEWORD(1, 1)) return true;
  std::string text = "Unable to initialize Windows Sockets (lirc.dll)\nRequested Version: 1.1\n";
  text += "Version: " + std::to_string(LOBYTE(data.wVersion)) + "." + std::to_string(HIBYTE(data.wVersion)) + "\n";
  text += "MaxVersion: " + std::to_string(LOBYTE(data.wHighVersion)) + "." +
          std::to_string(HIBYTE(data.wHighVersion)) + "\n";
  text += std::string("Description: ") + data.szDescription + "\nSystem status: " + data.szSystemStatus;
  MessageBoxA(nullptr, text.c_str(), vexa::lirc::kBoxCaption, MB_OK | MB_ICONERROR);
  if (!failed) WSACleanup();
  return false;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) return startSockets() ? TRUE : FALSE;
  if (reason == DLL_PROCESS_DETACH) WSACleanup();
  return TRUE;
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL GetPlugInfo(vexa::abi::PlugInfoRecord* out, uint32_t magic) {
  if (!out || magic != vexa::abi::kPlugInfoMagic) return;
  std::memset(out, 0, sizeof *out);
  out->size = vexa::abi::kPlugInfoSize;
  vexa::abi::copyField(out->displayName, "WinLIRC");
  vexa::abi::copyField(out->version, "1.0.0");
  vexa::abi::copyField(out->moduleName, "lirc");
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL Release() { CLircPlugin::Instance().Release(); }

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL StartMsgLoop(vexa::abi::WindowHandle hostWindow) {
  try {
    return CLircPlugin::Instance().Start(static_cast<HWND>(hostWindow)) ? 1 : 0;
  } catch (...) {
    ExitProcess(0xFFFFFFFF);
  }
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL EndMsgLoop() {
  try {
    CLircPlugin::Instance().Stop();
  } catch (...) {
    ExitProcess(0xFFFFFFFF);
  }
}

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL WriteConfig(vexa::abi::KeyHandle key) {
  return CLircPlugin::Instance().WriteConfig(static_cast<HKEY>(key)) ? 1 : 0;
}

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL ReadConfig(vexa::abi::KeyHandle key) {
  CLircPlugin::Instance().ReadConfig(static_cast<HKEY>(key));
  return 1;
}

VEXA_PLUGIN_EXPORT vexa::abi::WindowHandle VEXA_PLUGIN_CALL CreateCfgDlg(vexa::abi::Point* position,
                                                                         vexa::abi::WindowHandle parent) {
  const POINT at{position ? position->x : 0, position ? position->y : 0};
  return CLircPlugin::Instance().CreateSetupPage(at, static_cast<HWND>(parent));
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL About() { vexa::kit::showAbout("lirc.hlp", "lirc.dll"); }

VEXA_EXPORT_MATCHES_CONTRACT(GetPlugInfo);
VEXA_EXPORT_MATCHES_CONTRACT(Release);
VEXA_EXPORT_MATCHES_CONTRACT(StartMsgLoop);
VEXA_EXPORT_MATCHES_CONTRACT(EndMsgLoop);
VEXA_EXPORT_MATCHES_CONTRACT(WriteConfig);
VEXA_EXPORT_MATCHES_CONTRACT(ReadConfig);
VEXA_EXPORT_MATCHES_CONTRACT(CreateCfgDlg);
VEXA_EXPORT_MATCHES_CONTRACT(About);
