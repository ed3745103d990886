#include "vexa/shell/win/config_dump.h"

#include "vexa/device/win/device.h"
#include "vexa/shell/win/system_info.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

ConfigDumpValues collectConfigDump(const ProgramSettings& settings, const device::CDevice* device,
                                   const ServerState& server) {
  ConfigDumpValues v;
  v.programVersion = moduleVersionText(GetModuleHandleW(nullptr));
  v.serverVersion = loadedModuleVersion(L"vexanet.dll");
  v.hookVersion = loadedModuleVersion(L"tapmod.dll");
  v.os = currentOsVersion();
  if (device) {
    v.deviceModule = win::toUtf8(device->ModulePath().wstring());
    v.deviceModuleName = win::toUtf8(device->ModuleFileName());
    v.activeDevice = device->DeviceName();
    v.selectorDescription = device->SelectorDescription();
    v.selector1 = device->SelectorText(1);
    v.selector2 = device->SelectorText(2);
    v.deviceInitialized = device->IsInitialized();
    v.deviceRunning = device->IsRunning();
  }
  v.options = settings.options.word;
  v.serverPort = server.port;
  v.serverRunning = server.running;
  v.winsock = currentWinsockVersion();
  return v;
}

}  // namespace vexa::shell
