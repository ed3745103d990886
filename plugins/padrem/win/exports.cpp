// The plug-in's exports: plain functions with the callee-pops convention,
// exported undecorated through padrem.def.
#include <windows.h>

#include <cstring>

#include "plugins/kit/exports.h"
#include "plugins/padrem/win/padrem_device.h"
#include "plugins/padrem/win/padrem_dialog.h"
#include "plugins/store/win/store_exports.h"

using vexa::abi::PlugInfoRecord;
using vexa::abi::WindowHandle;
using vexa::padrem::CPadremDevice;

namespace {
CPadremDevice& device() { return CPadremDevice::Instance(); }
}  // namespace

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL GetPlugInfo(PlugInfoRecord* out, uint32_t magic) {
  if (!out || magic != vexa::abi::kPlugInfoMagic) return;
  std::memset(out, 0, sizeof *out);
  out->size = sizeof *out;
  vexa::abi::copyField(out->displayName, "Logitech OEM (AST, PADREM, IBM)");
  vexa::abi::copyField(out->version, "1.0.0");
  vexa::abi::copyField(out->moduleName, "padrem");
}

// The page shows whether the receiver is open: the host opens and closes it too.
VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL Release() {
  device().Release();
  vexa::padrem::CPadremDialog::ShowReceiver();
}
VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL StartMsgLoop(WindowHandle host) {
  const int result = device().StartMsgLoop(static_cast<HWND>(host));
  vexa::padrem::CPadremDialog::ShowReceiver();
  return result;
}
VEXA_STORE_PLUGIN_EXPORTS(vexa::padrem::CPadremDialog, "padrem.hlp", "padrem.dll");
