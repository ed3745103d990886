// A second-generation plug-in whose MonitorDevice ignores the terminate event.
#include "fake_export.h"

FAKE_EXPORT char* VEXA_PLUGIN_CALL DeviceInfo(DeviceInfoRecord* out) {
  static const char names[] = "Hanging Receiver\0";
  out->size = kDeviceInfoSize;
  out->deviceNames = fakeNameList(names, sizeof names);
  out->selectorKind = kPlugInFills;
  out->capabilities = 0;
  return out->deviceNames;
}
FAKE_EXPORT int VEXA_PLUGIN_CALL MonitorDevice(DeviceRecord*, WindowHandle) {
  for (;;) Sleep(50);
}
FAKE_EXPORT void VEXA_PLUGIN_CALL OnRelease() {}

FAKE_MATCHES_CONTRACT(DeviceInfo);
FAKE_MATCHES_CONTRACT(MonitorDevice);
FAKE_MATCHES_CONTRACT(OnRelease);
