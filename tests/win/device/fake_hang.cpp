// A second-generation plug-in whose MonitorDevice ignores the terminate event.
#include "fake_export.h"

FAKE_EXPORT void VEXA_PLUGIN_CALL DeviceInfo(DeviceInfoRecord* out) {
  static const char names[] = "Hanging Receiver\0";
  out->size = kDeviceInfoSize;
  out->deviceNames = fakeNameList(names, sizeof names);
  out->selectorKind = kPlugInFills;
  out->capabilities = 0;
}
FAKE_EXPORT int VEXA_PLUGIN_CALL MonitorDevice(DeviceRecord*, HWND) {
  for (;;) Sleep(50);
}
FAKE_EXPORT void VEXA_PLUGIN_CALL OnRelease() {}
