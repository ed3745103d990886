// The plug-in's exports: plain functions with the callee-pops convention,
// exported undecorated through tunerbox.def.
#include <windows.h>

#include <cstring>

#include "plugins/kit/exports.h"
#include "plugins/tunerbox/win/tunerbox_device.h"
#include "plugins/tunerbox/win/tunerbox_dialog.h"
#include "plugins/store/win/store_exports.h"

using vexa::abi::PlugInfoRecord;
using vexa::abi::WindowHandle;
using vexa::tunerbox::CTunerboxDevice;

namespace {
CTunerboxDevice& device() { return CTunerboxDevice::Instance(); }
}  // namespace

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL GetPlugInfo(PlugInfoRecord* out, uint32_t magic) {
  if (!out || magic != vexa::abi::kPlugInfoMagic) return;
  std::memset(out, 0, sizeof *out);
  out->size = sizeof *out;
  vexa::abi::copyField(out->displayName, "TV Capture Board");
  vexa::abi::copyField(out->version, "1.0.0");
  vexa::abi::copyField(out->moduleName, "Tunerbox");
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL Release() { device().Release(); }
VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL StartMsgLoop(WindowHandle host) {
  return device().StartMsgLoop(static_cast<HWND>(host));
}
VEXA_STORE_PLUGIN_EXPORTS(vexa::tunerbox::CTunerboxDialog, "Tunerbox.hlp", "About tunerbox.dll");
