#include "tests/win/hwport/hwport_test_support.h"

#include <vector>

namespace vexa::test {
namespace {

class CScHandle {
 public:
  explicit CScHandle(SC_HANDLE handle) : m_handle(handle) {}
  ~CScHandle() {
    if (m_handle) CloseServiceHandle(m_handle);
  }
  CScHandle(const CScHandle&) = delete;
  CScHandle& operator=(const CScHandle&) = delete;
  SC_HANDLE Get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }

 private:
  SC_HANDLE m_handle;
};

template <typename T>
void Bind(HMODULE module, T& entry, const char* name) {
  entry = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

void CServiceRemoval::Remove() {
  CScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager) return;
  {
    CScHandle service(OpenServiceW(manager.Get(), kServiceName, SERVICE_ALL_ACCESS));
    if (!service) return;
    SERVICE_STATUS status{};
    ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
  }
  WaitForServiceState(SERVICE_STOPPED);
  CScHandle service(OpenServiceW(manager.Get(), kServiceName, SERVICE_ALL_ACCESS));
  if (service) DeleteService(service.Get());
}

ServiceState QueryDriverService() {
  ServiceState result;
  CScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  CScHandle service(manager ? OpenServiceW(manager.Get(), kServiceName, SERVICE_ALL_ACCESS) : nullptr);
  if (!service) return result;
  result.exists = true;
  SERVICE_STATUS status{};
  if (QueryServiceStatus(service.Get(), &status)) result.state = status.dwCurrentState;
  DWORD needed = 0;
  QueryServiceConfigW(service.Get(), nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed ? needed : 1);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
  if (needed && QueryServiceConfigW(service.Get(), config, needed, &needed) && config->lpBinaryPathName)
    result.imagePath = config->lpBinaryPathName;
  return result;
}

bool WaitForServiceState(DWORD state, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    const ServiceState now = QueryDriverService();
    if (now.exists && now.state == state) return true;
    if (!now.exists && state == SERVICE_STOPPED) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
}

bool InstallDriverService(const std::wstring& imagePath, bool start) {
  CScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager) return false;
  CScHandle service(CreateServiceW(manager.Get(), kServiceName, kServiceName, SERVICE_ALL_ACCESS,
                                   SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                   imagePath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
  if (!service) return false;
  return !start || StartServiceW(service.Get(), 0, nullptr);
}

CHwportLibrary::CHwportLibrary(const std::wstring& folder) {
  m_module = LoadLibraryW((folder + L"\\hwport.dll").c_str());
  if (!m_module) {
    m_loadError = GetLastError();
    return;
  }
  Bind(m_module, ReadPort, "ReadPort");
  Bind(m_module, ReadPortW, "ReadPortW");
  Bind(m_module, WritePort, "WritePort");
  Bind(m_module, WritePortW, "WritePortW");
  Bind(m_module, MemMap, "MemMap");
  Bind(m_module, MemUnmap, "MemUnmap");
  Bind(m_module, MemRead, "MemRead");
  Bind(m_module, MemWrite, "MemWrite");
  Bind(m_module, pciGetCommonConfig, "pciGetCommonConfig");
  Bind(m_module, pciGetHardwareResources, "pciGetHardwareResources");
}

void CHwportLibrary::Free() {
  if (m_module) FreeLibrary(m_module);
  m_module = nullptr;
}

CSimulatedCard::CSimulatedCard()
    : m_device(CreateFileW(L"\\\\.\\hwport", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr)) {}

CSimulatedCard::~CSimulatedCard() {
  if (Open()) CloseHandle(m_device);
}

bool CSimulatedCard::Configure(hwsim::CardVariant variant, uint32_t idleValue,
                               std::initializer_list<hwsim::ScriptStep> steps, uint32_t subsystemId) {
  hwsim::SimSetup setup{};
  setup.variant = static_cast<uint32_t>(variant);
  setup.subsystemId = subsystemId;
  setup.irReadAddress = 0x35;
  setup.idleValue = idleValue;
  for (const auto& step : steps) setup.steps[setup.stepCount++] = step;
  DWORD returned = 0;
  const DWORD bytes = hwsim::kSimSetupHeaderBytes + setup.stepCount * sizeof(hwsim::ScriptStep);
  return DeviceIoControl(m_device, hwsim::kSetupCode, &setup, bytes, nullptr, 0, &returned, nullptr) != FALSE;
}

hwsim::SimStats CSimulatedCard::Stats() const {
  hwsim::SimStats stats{~0u, ~0u, ~0u, ~0u};
  DWORD returned = 0;
  DeviceIoControl(m_device, hwsim::kStatsCode, nullptr, 0, &stats, sizeof(stats), &returned, nullptr);
  return stats;
}

}  // namespace vexa::test
