// Exports GetPlugInfo with a wrong record size (and a valid DeviceInfo): not a plug-in.
#include "fake_export.h"

FAKE_EXPORT void VEXA_PLUGIN_CALL GetPlugInfo(PlugInfoRecord* out, uint32_t magic) {
  if (magic != kPlugInfoMagic) return;
  out->size = 500;
  std::strcpy(out->displayName, "Bad Size Device");
}
FAKE_EXPORT char* VEXA_PLUGIN_CALL DeviceInfo(DeviceInfoRecord* out) {
  static const char names[] = "Bad Size Device\0";
  out->size = kDeviceInfoSize;
  out->deviceNames = fakeNameList(names, sizeof names);
  out->selectorKind = kPlugInFills;
  out->capabilities = 0;
  return out->deviceNames;
}

FAKE_MATCHES_CONTRACT(GetPlugInfo);
FAKE_MATCHES_CONTRACT(DeviceInfo);
