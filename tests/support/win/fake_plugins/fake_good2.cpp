// A good second-generation plug-in. Its own ".vdp" section [Fake] says what OnInit
// returns ("InitResult"), which codes MonitorDevice sends ("Codes": binary-text
// byte strings separated by commas), and what its DeviceRecord reports
// ("TimingMode", "LearnSamples"). It records what the host did for the tests.
#include <string>
#include <vector>

#include "fake_export.h"

namespace {
std::string g_config;
int g_initResult = 0;
int g_timingMode = 0;
std::string g_codes;
std::string g_selector1, g_selector2, g_changedDevice;
std::vector<int> g_sendResults;
int g_released = 0;
CRITICAL_SECTION g_lock;
struct LockInit {
  LockInit() { InitializeCriticalSection(&g_lock); }
} g_lockInit;

std::vector<std::vector<unsigned char>> parseCodes(const std::string& text) {
  std::vector<std::vector<unsigned char>> codes(1);
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ',') {
      codes.emplace_back();
      ++i;
      continue;
    }
    if (i + 1 >= text.size()) break;
    codes.back().push_back(static_cast<unsigned char>((text[i] - 'A') | ((text[i + 1] - 'A') << 4)));
    i += 2;
  }
  if (codes.back().empty()) codes.pop_back();
  return codes;
}
}  // namespace

FAKE_EXPORT char* VEXA_PLUGIN_CALL DeviceInfo(DeviceInfoRecord* out) {
  // The last name in the system's code page (Windows-1252), as plug-ins write it.
  static const char names[] = "Fake Receiver\0Shared Name\0R\xE9" "cepteur\0";
  out->size = kDeviceInfoSize;
  out->deviceNames = fakeNameList(names, sizeof names);
  out->selectorKind = kPlugInFills;
  out->capabilities = 0x0F;  // both selectors and the Setup button
  return out->deviceNames;
}

FAKE_EXPORT int VEXA_PLUGIN_CALL OnReadConfig(DeviceRecord* device, const char* file) {
  g_config = file;
  g_initResult = static_cast<int>(GetPrivateProfileIntA("Fake", "InitResult", 0, file));
  char codes[4096] = {};
  GetPrivateProfileStringA("Fake", "Codes", "", codes, sizeof codes, file);
  g_codes = codes;
  g_timingMode = static_cast<int>(GetPrivateProfileIntA("Fake", "TimingMode", 0, file));
  device->timingMode = g_timingMode;
  device->learnSamples = static_cast<int32_t>(GetPrivateProfileIntA("Fake", "LearnSamples", 0, file));
  device->codeLength = 3;
  return 1;
}

FAKE_EXPORT int VEXA_PLUGIN_CALL OnWriteConfig(DeviceRecord*, const char* file) {
  const std::string result = std::to_string(g_initResult);
  return WritePrivateProfileStringA("Fake", "InitResult", result.c_str(), file) &&
         WritePrivateProfileStringA("Fake", "Codes", g_codes.c_str(), file);
}

FAKE_EXPORT void VEXA_PLUGIN_CALL OnFillSelector(DeviceRecord*, WindowHandle comboHandle, int which, char* caption) {
  const HWND combo = static_cast<HWND>(comboHandle);
  const char* items[2] = {which == kFillSelector1 ? "Port A" : "Mode 1", which == kFillSelector1 ? "Port B" : "Mode 2"};
  for (const char* item : items) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  std::strcpy(caption, which == kFillSelector1 ? "Fake Port" : "");
}

FAKE_EXPORT void VEXA_PLUGIN_CALL OnChangeDevice(const char* name) { g_changedDevice = name; }

FAKE_EXPORT int VEXA_PLUGIN_CALL OnInit(DeviceRecord* device, const char* selector1, const char* selector2) {
  g_selector1 = selector1 ? selector1 : "";
  g_selector2 = selector2 ? selector2 : "";
  device->timingMode = g_timingMode;
  return g_initResult;
}

FAKE_EXPORT int VEXA_PLUGIN_CALL MonitorDevice(DeviceRecord*, WindowHandle targetHandle) {
  const HWND target = static_cast<HWND>(targetHandle);
  const HANDLE terminate = CreateEventA(nullptr, TRUE, FALSE, kMonitorTerminateEvent);
  for (const auto& code : parseCodes(g_codes)) {
    CodeBlock block{static_cast<uint32_t>(code.size()), code.data()};
    const LRESULT result = SendMessageA(target, kVexaMessage, PageCode::kCodeBlock, reinterpret_cast<LPARAM>(&block));
    EnterCriticalSection(&g_lock);
    g_sendResults.push_back(static_cast<int>(result));
    LeaveCriticalSection(&g_lock);
  }
  WaitForSingleObject(terminate, INFINITE);
  CloseHandle(terminate);
  return 0;
}

FAKE_EXPORT void VEXA_PLUGIN_CALL OnRelease() { ++g_released; }
FAKE_EXPORT void VEXA_PLUGIN_CALL OnAbout() {}

// ---- For the tests only
FAKE_EXPORT int FakeSendResults(int* out, int max) {
  EnterCriticalSection(&g_lock);
  const int n = static_cast<int>(g_sendResults.size());
  for (int i = 0; i < n && i < max; ++i) out[i] = g_sendResults[i];
  LeaveCriticalSection(&g_lock);
  return n;
}
FAKE_EXPORT void FakeReset() {
  EnterCriticalSection(&g_lock);
  g_sendResults.clear();
  LeaveCriticalSection(&g_lock);
  g_released = 0;
}
FAKE_EXPORT int FakeReleased() { return g_released; }
FAKE_EXPORT const char* FakeSelector(int which) { return which == 2 ? g_selector2.c_str() : g_selector1.c_str(); }
FAKE_EXPORT const char* FakeChangedDevice() { return g_changedDevice.c_str(); }
FAKE_EXPORT void FakeSetInitResult(int result) { g_initResult = result; }

FAKE_MATCHES_CONTRACT(DeviceInfo);
FAKE_MATCHES_CONTRACT(OnReadConfig);
FAKE_MATCHES_CONTRACT(OnWriteConfig);
FAKE_MATCHES_CONTRACT(OnFillSelector);
FAKE_MATCHES_CONTRACT(OnChangeDevice);
FAKE_MATCHES_CONTRACT(OnInit);
FAKE_MATCHES_CONTRACT(MonitorDevice);
FAKE_MATCHES_CONTRACT(OnRelease);
FAKE_MATCHES_CONTRACT(OnAbout);
