#pragma once
// The whole contract between Vexa and its device plug-ins: records, message
// codes, export names and event names. Every plug-in includes this header.
// It needs no Windows header so that the portable core and native tests can
// use the same records; window and key handles cross as opaque pointers.
#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VEXA_PLUGIN_CALL __stdcall
#else
#define VEXA_PLUGIN_CALL
#endif

namespace vexa::abi {

using WindowHandle = void*;  // HWND
using KeyHandle = void*;     // HKEY

// ---- Records ---------------------------------------------------------------

inline constexpr uint32_t kPlugInfoMagic = 261272;  // passed to GetPlugInfo
inline constexpr uint32_t kPlugInfoSize = 596;
inline constexpr uint32_t kDeviceInfoSize = 16;     // the size field's value in every build

// First generation: filled by GetPlugInfo.
struct PlugInfoRecord {
  uint32_t size;             // the plug-in writes 596
  char displayName[255];     // the device's name in the host
  char version[20];          // e.g. "1.0.0"
  char moduleName[317];      // module name of the plug-in
};

// Second generation: filled by DeviceInfo.
struct DeviceInfoRecord {
  uint32_t size;             // the plug-in writes 16
  char* deviceNames;         // NUL-separated, ended by an empty name; the host frees it with delete[]
  uint32_t selectorKind;     // how selector 1 is filled (SelectorKind)
  uint32_t capabilities;     // Capability bits
};

enum SelectorKind : uint32_t { kSerialPorts = 1, kParallelPorts = 2, kPlugInFills = 3 };

namespace Capability {
inline constexpr uint32_t kSelector1Caption = 0x01;
inline constexpr uint32_t kSelector1 = 0x03;       // both bits: the list is shown and used
inline constexpr uint32_t kSelector2 = 0x07;       // all three bits
inline constexpr uint32_t kSetupButton = 0x08;
inline constexpr uint32_t kRecognisesButtons = 0x10;
inline bool has(uint32_t flags, uint32_t bits) { return (flags & bits) == bits; }
}  // namespace Capability

// Second generation: one per loaded plug-in, owned by the host.
struct DeviceRecord {
  char deviceName[256];      // the receiver model chosen from the device-name list
  int32_t timingMode;        // 1: pulse/space durations are delivered and matched by timing
  int32_t tolerance;         // percent for timing signals; 0 means 25 when timingMode is 1
  int32_t codeLength;        // bytes of one raw code
  int32_t learnSamples;      // identical receptions the learning dialog needs
  int32_t reserved;
};

inline constexpr int32_t kDefaultTolerance = 25;

// lParam of code 3: may live on the plug-in's stack; copy before returning.
struct CodeBlock {
  uint32_t count;
  const uint8_t* bytes;
};

// lParam of code 0: allocated by the sender with new, freed by the main window with delete.
struct CommandRecord {
  char command[256];         // button name
  int32_t repeatCount;       // 0 for a new press, 1, 2, ... while held
  char remote[256];
};

// Timing sample (lParam of code 4): bits 0..30 microseconds, bit 31 set for a pulse.
inline constexpr uint32_t kPulseBit = 0x80000000u;
inline constexpr uint32_t kDurationMask = 0x7FFFFFFFu;
inline constexpr uint32_t kMaxDurationUs = 499000;  // durations stay below this
inline constexpr uint32_t makeSample(bool pulse, uint32_t micros) {
  return (pulse ? kPulseBit : 0u) | (micros & kDurationMask);
}
inline constexpr bool isPulse(uint32_t sample) { return (sample & kPulseBit) != 0; }
inline constexpr uint32_t durationOf(uint32_t sample) { return sample & kDurationMask; }

// ---- Messages --------------------------------------------------------------

inline constexpr unsigned kVexaMessage = 0x7FFF;  // the one message; the code goes in wParam

// Codes the main window accepts.
namespace MainCode {
inline constexpr unsigned kCommand = 0;           // lParam: CommandRecord*, always freed; result 1
inline constexpr unsigned kSettingsChanged = 1;
inline constexpr unsigned kSettingsSaved = 2;
inline constexpr unsigned kCodeBlock = 3;         // forwarded to the configuration window
inline constexpr unsigned kTimingSample = 4;      // forwarded to the configuration window
inline constexpr unsigned kRestoreStatus = 99;
inline constexpr unsigned kTemporaryStatus = 100; // lParam: new[] text or 0, freed by the main window
inline constexpr unsigned kDeviceReady = 101;
inline constexpr unsigned kDeviceNotInitialised = 102;
inline constexpr unsigned kInitialising = 103;
inline constexpr unsigned kDeviceDeactivated = 104;
}  // namespace MainCode

// Codes the configuration window (device page) accepts.
namespace PageCode {
inline constexpr unsigned kCommand = 0;
inline constexpr unsigned kCodeBlock = 3;
inline constexpr unsigned kTimingSample = 4;
inline constexpr unsigned kSelector1Caption = 200;
inline constexpr unsigned kSelector1List = 201;
inline constexpr unsigned kSelector2Caption = 202;
inline constexpr unsigned kSelector2List = 203;
inline constexpr unsigned kSetupButton = 204;
inline constexpr unsigned kInitializeButton = 205;
inline constexpr unsigned kCodeTree = 206;
inline constexpr unsigned kLayout = 300;
}  // namespace PageCode

// Window titles by which plug-ins find the host's windows.
inline constexpr const char* kMainWindowTitle = "Vexa";
inline constexpr const char* kConfigWindowTitle = "VEXADeviceConfig";
inline constexpr const char* kLearnWindowTitle = "Learn";

// ---- Events ----------------------------------------------------------------

inline constexpr const char* kMonitorTerminateEvent = "VEXA_DEVMONITOR_TERMINATE";
inline constexpr const char* kMonitorExitEvent = "VEXA_DEVMONITOR_EXIT";
inline constexpr unsigned kMonitorStopTimeoutMs = 3000;

// ---- OnInit results ----------------------------------------------------------

enum InitResult : int { kInitReady = 0, kInitInUse = 1, kInitNoResponse = 2, kInitBadResponse = 3 };

// ---- Exports -----------------------------------------------------------------

// First generation.
inline constexpr const char* kGetPlugInfo = "GetPlugInfo";
inline constexpr const char* kRelease = "Release";
inline constexpr const char* kStartMsgLoop = "StartMsgLoop";
inline constexpr const char* kEndMsgLoop = "EndMsgLoop";
inline constexpr const char* kWriteConfig = "WriteConfig";
inline constexpr const char* kReadConfig = "ReadConfig";
inline constexpr const char* kCreateCfgDlg = "CreateCfgDlg";
inline constexpr const char* kAbout = "About";
inline constexpr const char* kGetFirstRmt = "GetFirstRmt";
inline constexpr const char* kGetNextRmt = "GetNextRmt";
inline constexpr const char* kGetFirstCmd = "GetFirstCmd";
inline constexpr const char* kGetNextCmd = "GetNextCmd";
inline constexpr const char* kLoadPreset = "LoadPreset";
inline constexpr const char* kSavePreset = "SavePreset";
inline constexpr const char* kMsgLoop = "MsgLoop";
inline constexpr size_t kEnumNameBuffer = 776;  // host buffers for names; plug-ins return at most 255 chars

struct Point {
  int32_t x, y;
};

using GetPlugInfoFn = void(VEXA_PLUGIN_CALL*)(PlugInfoRecord* out, uint32_t magic);
using ReleaseFn = void(VEXA_PLUGIN_CALL*)();
using StartMsgLoopFn = int(VEXA_PLUGIN_CALL*)(WindowHandle hostWindow);
using EndMsgLoopFn = void(VEXA_PLUGIN_CALL*)();
using WriteConfigFn = int(VEXA_PLUGIN_CALL*)(KeyHandle key);
using ReadConfigFn = int(VEXA_PLUGIN_CALL*)(KeyHandle key);
using CreateCfgDlgFn = WindowHandle(VEXA_PLUGIN_CALL*)(Point* position, WindowHandle parent);
using AboutFn = void(VEXA_PLUGIN_CALL*)();
using GetFirstRmtFn = intptr_t(VEXA_PLUGIN_CALL*)(char* name);
using GetNextRmtFn = int(VEXA_PLUGIN_CALL*)(int* cursor, char* name);
using GetFirstCmdFn = intptr_t(VEXA_PLUGIN_CALL*)(const char* remote, char* name);
// The command cursor is what GetFirstCmd returned, a node address for many
// plug-ins: pointer-sized, so 32 bits in the i686 build as the contract has it.
using GetNextCmdFn = int(VEXA_PLUGIN_CALL*)(intptr_t* cursor, char* name);
using LoadPresetFn = int(VEXA_PLUGIN_CALL*)(const char* file);
using SavePresetFn = int(VEXA_PLUGIN_CALL*)(const char* file);
using MsgLoopFn = int(VEXA_PLUGIN_CALL*)(WindowHandle target);

// Second generation.
inline constexpr const char* kDeviceInfo = "DeviceInfo";
inline constexpr const char* kOnInit = "OnInit";
inline constexpr const char* kOnRelease = "OnRelease";
inline constexpr const char* kMonitorDevice = "MonitorDevice";
inline constexpr const char* kOnAbout = "OnAbout";
inline constexpr const char* kOnWriteConfig = "OnWriteConfig";
inline constexpr const char* kOnReadConfig = "OnReadConfig";
inline constexpr const char* kOnFillSelector = "OnFillSelector";
inline constexpr const char* kOnSetup = "OnSetup";
inline constexpr const char* kOnChangeDevice = "OnChangeDevice";
inline constexpr int kFillSelector1 = 3;
inline constexpr int kFillSelector2 = 7;

using DeviceInfoFn = char*(VEXA_PLUGIN_CALL*)(DeviceInfoRecord* out);
using OnInitFn = int(VEXA_PLUGIN_CALL*)(DeviceRecord* device, const char* selector1, const char* selector2);
using OnReleaseFn = void(VEXA_PLUGIN_CALL*)();
using MonitorDeviceFn = int(VEXA_PLUGIN_CALL*)(DeviceRecord* device, WindowHandle target);
using OnAboutFn = void(VEXA_PLUGIN_CALL*)();
using OnWriteConfigFn = int(VEXA_PLUGIN_CALL*)(DeviceRecord* device, const char* file);
using OnReadConfigFn = int(VEXA_PLUGIN_CALL*)(DeviceRecord* device, const char* file);
using OnFillSelectorFn = void(VEXA_PLUGIN_CALL*)(DeviceRecord* device, WindowHandle comboBox, int which,
                                                 char* caption);
using OnSetupFn = int(VEXA_PLUGIN_CALL*)(DeviceRecord* device, WindowHandle mainWindow);
using OnChangeDeviceFn = void(VEXA_PLUGIN_CALL*)(const char* deviceName);

// ---- Layout checks -----------------------------------------------------------

static_assert(sizeof(PlugInfoRecord) == kPlugInfoSize);
static_assert(offsetof(PlugInfoRecord, displayName) == 4);
static_assert(offsetof(PlugInfoRecord, version) == 259);
static_assert(offsetof(PlugInfoRecord, moduleName) == 279);
static_assert(sizeof(DeviceRecord) == 276);
static_assert(offsetof(DeviceRecord, timingMode) == 256);
static_assert(offsetof(DeviceRecord, tolerance) == 260);
static_assert(offsetof(DeviceRecord, codeLength) == 264);
static_assert(offsetof(DeviceRecord, learnSamples) == 268);
static_assert(offsetof(DeviceRecord, reserved) == 272);
static_assert(sizeof(CommandRecord) == 516);
static_assert(offsetof(CommandRecord, repeatCount) == 256);
static_assert(offsetof(CommandRecord, remote) == 260);
#if defined(_WIN32) && !defined(_WIN64)
// The 32-bit release must match the contract byte for byte.
static_assert(sizeof(DeviceInfoRecord) == kDeviceInfoSize);
static_assert(offsetof(DeviceInfoRecord, deviceNames) == 4);
static_assert(offsetof(DeviceInfoRecord, selectorKind) == 8);
static_assert(offsetof(DeviceInfoRecord, capabilities) == 12);
static_assert(sizeof(CodeBlock) == 8);
static_assert(offsetof(CodeBlock, bytes) == 4);
static_assert(sizeof(void*) == 4);
#endif

// Copies into a fixed field: bounded and always terminated.
template <size_t N>
void copyField(char (&field)[N], const char* text) {
  size_t i = 0;
  if (text)
    for (; i + 1 < N && text[i]; ++i) field[i] = text[i];
  field[i] = '\0';
}

// Reads a fixed field that the other side may not have terminated.
template <size_t N>
size_t fieldLength(const char (&field)[N]) {
  size_t i = 0;
  while (i < N && field[i]) ++i;
  return i;
}

}  // namespace vexa::abi
