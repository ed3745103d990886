// A second plug-in that also lists "Shared Name": selection takes the first in scan order.
#include "fake_export.h"

FAKE_EXPORT char* VEXA_PLUGIN_CALL DeviceInfo(DeviceInfoRecord* out) {
  static const char names[] = "Dup Only\0shared name\0";
  out->size = kDeviceInfoSize;
  out->deviceNames = fakeNameList(names, sizeof names);
  out->selectorKind = kSerialPorts;
  out->capabilities = 0x03;
  return out->deviceNames;
}
FAKE_EXPORT void VEXA_PLUGIN_CALL OnRelease() {}

FAKE_MATCHES_CONTRACT(DeviceInfo);
FAKE_MATCHES_CONTRACT(OnRelease);
