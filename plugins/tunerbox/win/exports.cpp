// The plug-in's exports: plain functions with the callee-pops convention,
// exported undecorated through tunerbox.def.
#include <windows.h>

#include <cstring>

#include "plugins/kit/exports.h"
#include "plugins/kit/win/module_info.h"
#include "plugins/tunerbox/win/tunerbox_device.h"
#include "plugins/tunerbox/win/tunerbox_dialog.h"

using vexa::abi::KeyHandle;
using vexa::abi::PlugInfoRecord;
using vexa::abi::WindowHandle;
using vexa::tunerbox::CTunerboxDevice;

namespace {
CTunerboxDevice& device() { return CTunerboxDevice::Instance(); }

void copyField(char* field, size_t size, const char* text) {
  std::strncpy(field, text, size - 1);
  field[size - 1] = '\0';
}
}  // namespace

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL GetPlugInfo(PlugInfoRecord* out, uint32_t magic) {
  if (!out || magic != vexa::abi::kPlugInfoMagic) return;
  std::memset(out, 0, sizeof *out);
  out->size = sizeof *out;
  copyField(out->displayName, sizeof out->displayName, "TV Capture Board");
  copyField(out->version, sizeof out->version, "1.0.0");
  copyField(out->moduleName, sizeof out->moduleName, "Tunerbox");
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL Release() { device().Release(); }
VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL StartMsgLoop(WindowHandle host) {
  return device().StartMsgLoop(static_cast<HWND>(host));
}
VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL EndMsgLoop() { device().EndMsgLoop(); }
VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL MsgLoop(WindowHandle target) {
  return device().MsgLoop(static_cast<HWND>(target));
}

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL ReadConfig(KeyHandle key) {
  const int result = device().ReadConfig(static_cast<HKEY>(key));
  vexa::tunerbox::CTunerboxDialog::Refresh();
  return result;
}
VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL WriteConfig(KeyHandle key) {
  vexa::tunerbox::CTunerboxDialog::TakeData();
  return device().WriteConfig(static_cast<HKEY>(key));
}
VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL SavePreset(const char* file) {
  vexa::tunerbox::CTunerboxDialog::TakeData();
  return device().SavePreset(file);
}
VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL LoadPreset(const char* file) {
  const int result = device().LoadPreset(file);
  vexa::tunerbox::CTunerboxDialog::Refresh();
  return result;
}

VEXA_PLUGIN_EXPORT WindowHandle VEXA_PLUGIN_CALL CreateCfgDlg(vexa::abi::Point* position, WindowHandle parent) {
  device().SetHostWindow(static_cast<HWND>(parent));
  return vexa::tunerbox::CTunerboxDialog::Create(static_cast<HWND>(parent), position);
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL About() { vexa::kit::showAbout("Tunerbox.hlp", "About tunerbox.dll"); }

VEXA_PLUGIN_EXPORT intptr_t VEXA_PLUGIN_CALL GetFirstRmt(char* name) { return device().Names().firstRemote(name); }
VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL GetNextRmt(int* index, char* name) {
  return device().Names().nextRemote(index, name);
}
VEXA_PLUGIN_EXPORT intptr_t VEXA_PLUGIN_CALL GetFirstCmd(const char* remote, char* name) {
  return device().Names().firstCommand(remote, name);
}
VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL GetNextCmd(intptr_t* cursor, char* name) {
  return device().Names().nextCommand(cursor, name);
}

VEXA_EXPORT_MATCHES_CONTRACT(GetPlugInfo);
VEXA_EXPORT_MATCHES_CONTRACT(Release);
VEXA_EXPORT_MATCHES_CONTRACT(StartMsgLoop);
VEXA_EXPORT_MATCHES_CONTRACT(EndMsgLoop);
VEXA_EXPORT_MATCHES_CONTRACT(MsgLoop);
VEXA_EXPORT_MATCHES_CONTRACT(ReadConfig);
VEXA_EXPORT_MATCHES_CONTRACT(WriteConfig);
VEXA_EXPORT_MATCHES_CONTRACT(SavePreset);
VEXA_EXPORT_MATCHES_CONTRACT(LoadPreset);
VEXA_EXPORT_MATCHES_CONTRACT(CreateCfgDlg);
VEXA_EXPORT_MATCHES_CONTRACT(About);
VEXA_EXPORT_MATCHES_CONTRACT(GetFirstRmt);
VEXA_EXPORT_MATCHES_CONTRACT(GetNextRmt);
VEXA_EXPORT_MATCHES_CONTRACT(GetFirstCmd);
VEXA_EXPORT_MATCHES_CONTRACT(GetNextCmd);
