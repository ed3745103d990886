// The plug-in contract as the real serial.dll sees it at run time: what it
// writes into the host's records, byte by byte, and how its exports are called.
// In the 32-bit build these are the contract's exact numbers; in the 64-bit build
// the host's and the plug-in's view of the same records must still agree.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "tests/win/serial/plugin_fixture.h"
#include "support/win/receiver_sim.h"
#include "support/temp_folder.h"

namespace vexa::test {
namespace {

constexpr unsigned char kCanary = 0xCD;
constexpr bool kContractBuild = sizeof(void*) == 4;

template <typename T>
T readAt(const std::vector<unsigned char>& bytes, size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

size_t canaryBytesFrom(const std::vector<unsigned char>& bytes, size_t offset) {
  size_t count = 0;
  for (size_t i = offset; i < bytes.size(); ++i) count += bytes[i] == kCanary;
  return count;
}

TEST(PluginAbi, DeviceInfoFillsSixteenBytesWithThePointerAtOffsetFour) {
  std::vector<unsigned char> record(64, kCanary);
  char* names = SerialPlugin::Get().deviceInfo(reinterpret_cast<abi::DeviceInfoRecord*>(record.data()));
  ASSERT_NE(names, nullptr);
  const size_t pointerAt = offsetof(abi::DeviceInfoRecord, deviceNames);
  const size_t end = sizeof(abi::DeviceInfoRecord);
  EXPECT_EQ(readAt<uint32_t>(record, 0), abi::kDeviceInfoSize);
  EXPECT_EQ(readAt<char*>(record, pointerAt), names);
  EXPECT_EQ(readAt<uint32_t>(record, offsetof(abi::DeviceInfoRecord, selectorKind)), abi::kSerialPorts);
  EXPECT_EQ(readAt<uint32_t>(record, offsetof(abi::DeviceInfoRecord, capabilities)), 11u);
  EXPECT_EQ(canaryBytesFrom(record, end), record.size() - end) << "the plug-in wrote past its record";
  if (kContractBuild) {
    EXPECT_EQ(pointerAt, 4u);
    EXPECT_EQ(sizeof(char*), 4u);
    EXPECT_EQ(end, abi::kDeviceInfoSize);
    EXPECT_EQ(offsetof(abi::DeviceInfoRecord, selectorKind), 8u);
  }
  delete[] names;
}

TEST(PluginAbi, ReadConfigFillsTheDeviceRecordsIntegersAndNothingBeyond) {
  CTempFolder folder;
  std::vector<unsigned char> record(sizeof(abi::DeviceRecord) + 64, kCanary);
  abi::copyField(reinterpret_cast<abi::DeviceRecord*>(record.data())->deviceName, "Generic Serial IR Receiver");
  std::ofstream(folder.path() / "abi.vdp", std::ios::binary)
      << "[DeviceSettings]\r\nIRCodeLength=12\r\nLearnSamples=3\r\nTolerance=7\r\n";
  SerialPlugin::Get().onReadConfig(reinterpret_cast<abi::DeviceRecord*>(record.data()),
                                   (folder.path() / "abi.vdp").string().c_str());
  EXPECT_EQ(readAt<int32_t>(record, 264), 12);  // codeLength
  EXPECT_EQ(readAt<int32_t>(record, 268), 3);   // learnSamples
  EXPECT_EQ(readAt<int32_t>(record, 260), 7);   // tolerance
  EXPECT_EQ(sizeof(abi::DeviceRecord), 276u);
  EXPECT_EQ(canaryBytesFrom(record, 276), record.size() - 276) << "the plug-in wrote past its record";
}

// Keeps the raw bytes of each code block's record as the plug-in laid it out.
class CRawBlockWindow {
 public:
  CRawBlockWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &CRawBlockWindow::WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "AbiTestRawBlockWindow";
    RegisterClassA(&wc);
    m_hwnd = CreateWindowA(wc.lpszClassName, "raw", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~CRawBlockWindow() { DestroyWindow(m_hwnd); }
  HWND Handle() const { return m_hwnd; }
  std::vector<unsigned char> record;
  std::string bytes;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<CRawBlockWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == abi::kVexaMessage && wp == abi::PageCode::kCodeBlock && self->record.empty()) {
      const auto* raw = reinterpret_cast<const unsigned char*>(lp);
      self->record.assign(raw, raw + sizeof(abi::CodeBlock));
      const auto* data = readAt<const char*>(self->record, offsetof(abi::CodeBlock, bytes));
      self->bytes.assign(data, readAt<uint32_t>(self->record, 0));
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  HWND m_hwnd = nullptr;
};

struct MonitorArgs {
  abi::DeviceRecord* device;
  HWND target;
};

DWORD WINAPI runMonitor(void* p) {
  auto* args = static_cast<MonitorArgs*>(p);
  SerialPlugin::Get().monitorDevice(args->device, args->target);
  return 0;
}

TEST(PluginAbi, ACodeBlockIsItsCountThenAPointerToTheBytes) {
  CTempFolder folder;
  abi::DeviceRecord device = deviceRecord("Irman");
  loadSettings(device, folder.path() / "serial.vdp");
  CReceiverSim receiver(Answer::kIrman);
  ASSERT_TRUE(receiver.Start());
  ASSERT_EQ(SerialPlugin::Get().onInit(&device, "COM5", ""), abi::kInitReady);
  CRawBlockWindow window;
  CCodeWindow pump;  // pumps this thread's messages while the monitor sends
  win::CEvent terminate;
  terminate.Create(L"VEXA_DEVMONITOR_TERMINATE", true, false);
  terminate.Reset();
  MonitorArgs args{&device, window.Handle()};
  win::CHandle thread(CreateThread(nullptr, 0, &runMonitor, &args, 0, nullptr));
  Sleep(100);  // the monitor is waiting for the first byte
  ASSERT_TRUE(receiver.Send("\x11\x22\x33\x44\x55\x66"));
  pump.PumpUntil([&] { return !window.record.empty(); }, 3000);
  terminate.Set();
  pump.PumpUntil([&] { return WaitForSingleObject(thread.Get(), 0) == WAIT_OBJECT_0; }, 3000);
  SerialPlugin::Get().onRelease();
  ASSERT_EQ(window.record.size(), sizeof(abi::CodeBlock));
  EXPECT_EQ(readAt<uint32_t>(window.record, 0), 6u);
  EXPECT_EQ(window.bytes, "\x11\x22\x33\x44\x55\x66");
  if (kContractBuild) {
    EXPECT_EQ(sizeof(abi::CodeBlock), 8u);
    EXPECT_EQ(offsetof(abi::CodeBlock, bytes), 4u);
  }
}

#if defined(_WIN32) && !defined(_WIN64)
// The stack pointer around a call through a __stdcall pointer: equal when the
// callee popped its own arguments, as the contract's convention requires.
template <typename Fn, typename... Args>
__attribute__((noinline)) intptr_t stackDriftOfCall(Fn fn, Args... args) {
  uintptr_t before, after;
  asm volatile("movl %%esp, %0" : "=r"(before));
  fn(args...);
  asm volatile("movl %%esp, %0" : "=r"(after));
  return static_cast<intptr_t>(after - before);
}
#endif

TEST(PluginAbi, ExportsAreFoundByPlainNamesAndCalledAsStdcall) {
  const HMODULE module = SerialPlugin::Get().module.Get();
  ASSERT_NE(module, nullptr) << serialDllPath();
  for (const char* name : {abi::kDeviceInfo, abi::kOnInit, abi::kOnRelease, abi::kMonitorDevice, abi::kOnAbout,
                           abi::kOnWriteConfig, abi::kOnReadConfig, abi::kOnFillSelector, abi::kOnSetup,
                           abi::kOnChangeDevice}) {
    EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    const std::string decorated = "_" + std::string(name) + "@";
    for (int bytes = 0; bytes <= 16; bytes += 4)
      EXPECT_EQ(GetProcAddress(module, (decorated + std::to_string(bytes)).c_str()), nullptr)
          << decorated << bytes;
  }
#if defined(_WIN32) && !defined(_WIN64)
  SerialPlugin& plugin = SerialPlugin::Get();
  abi::DeviceInfoRecord info{};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(stackDriftOfCall(plugin.deviceInfo, &info), 0);
    delete[] info.deviceNames;
  }
  abi::DeviceRecord device = deviceRecord("Irman");
  EXPECT_EQ(stackDriftOfCall(plugin.onChangeDevice, "Irman"), 0);
  EXPECT_EQ(stackDriftOfCall(plugin.onWriteConfig, &device, "Z:\\nonexistent\\folder\\x.vdp"), 0);
#endif
}

}  // namespace
}  // namespace vexa::test
