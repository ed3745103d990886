#pragma once
// What the hardware-access tests share: the library's exports bound by name,
// the driver service seen through the service manager, and the stand-in
// driver's own requests.

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "modules/hwport_sys/sim_requests.h"

namespace vexa::test {

inline constexpr wchar_t kServiceName[] = L"hwport";

// The folder of the running test program (hwport.dll and hwport.sys lie there).
std::wstring ProgramFolder();

// Removes the driver service before and after a test, whatever the test left.
class CServiceRemoval {
 public:
  CServiceRemoval() { Remove(); }
  ~CServiceRemoval() { Remove(); }
  CServiceRemoval(const CServiceRemoval&) = delete;
  CServiceRemoval& operator=(const CServiceRemoval&) = delete;
  static void Remove();
};

struct ServiceState {
  bool exists = false;
  DWORD state = 0;  // SERVICE_RUNNING, SERVICE_STOPPED, ...
  std::wstring imagePath;
};
ServiceState QueryDriverService();
// Polls the service manager until the service reaches `state` or time runs out.
bool WaitForServiceState(DWORD state, DWORD timeoutMs = 5000);
// Installs the service from `imagePath` without the library; optionally starts it.
bool InstallDriverService(const std::wstring& imagePath, bool start);

// hwport.dll loaded from a folder, unloaded at the end of scope.
class CHwportLibrary {
 public:
  explicit CHwportLibrary(const std::wstring& folder);
  ~CHwportLibrary() { Free(); }
  CHwportLibrary(const CHwportLibrary&) = delete;
  CHwportLibrary& operator=(const CHwportLibrary&) = delete;

  bool Loaded() const { return m_module != nullptr; }
  DWORD LoadError() const { return m_loadError; }
  void Free();

  DWORD (WINAPI* ReadPort)(DWORD) = nullptr;
  DWORD (WINAPI* ReadPortW)(DWORD) = nullptr;
  DWORD (WINAPI* WritePort)(DWORD, DWORD) = nullptr;
  DWORD (WINAPI* WritePortW)(DWORD, DWORD) = nullptr;
  DWORD (WINAPI* MemMap)(DWORD, DWORD) = nullptr;
  void (WINAPI* MemUnmap)(DWORD, DWORD) = nullptr;
  DWORD (WINAPI* MemRead)(DWORD) = nullptr;
  DWORD (WINAPI* MemWrite)(DWORD, DWORD) = nullptr;
  DWORD (WINAPI* pciGetCommonConfig)(DWORD, DWORD, BYTE*) = nullptr;
  DWORD (WINAPI* pciGetHardwareResources)(DWORD, DWORD, DWORD*, DWORD*, DWORD*) = nullptr;

 private:
  HMODULE m_module = nullptr;
  DWORD m_loadError = 0;
};

// The stand-in driver's test requests, on a handle of the test's own.
class CSimulatedCard {
 public:
  CSimulatedCard();
  ~CSimulatedCard();
  CSimulatedCard(const CSimulatedCard&) = delete;
  CSimulatedCard& operator=(const CSimulatedCard&) = delete;

  bool Open() const { return m_device != INVALID_HANDLE_VALUE; }
  bool Configure(hwsim::CardVariant variant, uint32_t idleValue, std::initializer_list<hwsim::ScriptStep> steps,
                 uint32_t subsystemId = 0);
  hwsim::SimStats Stats() const;

 private:
  HANDLE m_device = INVALID_HANDLE_VALUE;
};

}  // namespace vexa::test
