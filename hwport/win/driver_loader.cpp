#include "hwport/win/driver_loader.h"

namespace vexa::hwport {
namespace {

constexpr DWORD kServiceAlreadyRunning = ERROR_SERVICE_ALREADY_RUNNING;  // 1056
constexpr DWORD kServiceExists = ERROR_SERVICE_EXISTS;                   // 1073

bool ReadIsWindows9x() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&info)) return false;
#pragma GCC diagnostic pop
  return info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

class CServiceHandle {
 public:
  explicit CServiceHandle(SC_HANDLE handle) : m_handle(handle) {}
  ~CServiceHandle() {
    if (m_handle) CloseServiceHandle(m_handle);
  }
  CServiceHandle(const CServiceHandle&) = delete;
  CServiceHandle& operator=(const CServiceHandle&) = delete;
  SC_HANDLE Get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }

 private:
  SC_HANDLE m_handle;
};

}  // namespace

std::wstring DriverName(bool windows9x) { return windows9x ? L"hwport.vxd" : L"hwport"; }

CDriverLoader::CDriverLoader() : m_windows9x(ReadIsWindows9x()) {}

CDriverLoader::~CDriverLoader() { Unload(); }

bool CDriverLoader::Load(const std::wstring& folder) {
  m_driverName = DriverName(m_windows9x);
  if (!StartDriverService(m_driverName) &&
      !InstallAndStartService(m_driverName, folder + L"\\" + m_driverName + L".sys"))
    return false;
  m_loaded = OpenDriverIfClosed();
  return m_loaded;
}

void CDriverLoader::Unload() {
  CloseDriver();
  m_loaded = false;
  StopStartedService();
  if (m_manager) {
    CloseServiceHandle(m_manager);
    m_manager = nullptr;
  }
}

void CDriverLoader::SetErrorCode(DWORD error) { m_error = error; }

DWORD CDriverLoader::TakeSystemError() {
  SetErrorCode(GetLastError());
  return m_error;
}

bool CDriverLoader::OpenServiceManager() {
  if (m_manager) return true;
  m_manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!m_manager)
    m_manager = OpenSCManagerW(nullptr, nullptr,
                               SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE | SC_MANAGER_QUERY_LOCK_STATUS);
  if (!m_manager) TakeSystemError();
  return m_manager != nullptr;
}

SC_HANDLE CDriverLoader::OpenNamedService(const std::wstring& name) {
  m_serviceAccess = SERVICE_ALL_ACCESS;
  SC_HANDLE service = OpenServiceW(m_manager, name.c_str(), m_serviceAccess);
  if (!service) {
    m_serviceAccess = SERVICE_START | SERVICE_STOP;
    service = OpenServiceW(m_manager, name.c_str(), m_serviceAccess);
  }
  if (!service) TakeSystemError();
  return service;
}

bool CDriverLoader::StartDriverService(const std::wstring& name) {
  if (m_windows9x) return true;
  if (!OpenServiceManager()) return false;
  CServiceHandle service(OpenNamedService(name));
  if (!service) return false;
  if (!StartServiceW(service.Get(), 0, nullptr) && TakeSystemError() != kServiceAlreadyRunning) return false;
  SetErrorCode(0);
  m_startedService = name;
  return true;
}

bool CDriverLoader::InstallAndStartService(const std::wstring& name, const std::wstring& imagePath) {
  if (m_windows9x) return StartDriverService(name);
  if (!OpenServiceManager()) return false;
  StopService(name, true);
  CServiceHandle created(CreateServiceW(m_manager, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                        SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                        imagePath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
  if (!created && TakeSystemError() != kServiceExists) return false;
  return StartDriverService(name);
}

void CDriverLoader::StopStartedService() {
  if (m_startedService.empty()) return;
  StopService(m_startedService, false);
  m_startedService.clear();
}

bool CDriverLoader::StopService(const std::wstring& name, bool remove) {
  if (m_windows9x) return true;
  if (!OpenServiceManager()) return false;
  CServiceHandle service(OpenServiceW(m_manager, name.c_str(), SERVICE_STOP | DELETE));
  if (!service) {
    TakeSystemError();
    return false;
  }
  SERVICE_STATUS status{};
  bool done = ControlService(service.Get(), SERVICE_CONTROL_STOP, &status) != FALSE;
  if (remove) done = DeleteService(service.Get()) != FALSE;
  if (!done) TakeSystemError();
  return done;
}

bool CDriverLoader::OpenDriverIfClosed() {
  if (m_device != INVALID_HANDLE_VALUE) return true;
  if (m_windows9x) return CreateDeviceFile(L"\\\\.\\" + m_driverName);
  return OpenDosDevice(m_driverName);
}

void CDriverLoader::CloseDriver() {
  if (m_device == INVALID_HANDLE_VALUE) return;
  CloseHandle(m_device);
  m_device = INVALID_HANDLE_VALUE;
}

bool CDriverLoader::ReadDriver(void* buffer, DWORD size, DWORD* done) {
  if (!ReadFile(m_device, buffer, size, done, nullptr)) {
    TakeSystemError();
    return false;
  }
  SetErrorCode(0);
  return true;
}

bool CDriverLoader::WriteDriver(const void* buffer, DWORD size, DWORD* done) {
  if (!WriteFile(m_device, buffer, size, done, nullptr)) {
    TakeSystemError();
    return false;
  }
  SetErrorCode(0);
  return true;
}

bool CDriverLoader::Control(DWORD code, const void* input, DWORD inputSize) {
  return ControlWithOutput(code, input, inputSize, nullptr, 0);
}

bool CDriverLoader::ControlWithOutput(DWORD code, const void* input, DWORD inputSize, void* output,
                                      DWORD outputSize) {
  DWORD returned = 0;
  if (!DeviceIoControl(m_device, code, const_cast<void*>(input), inputSize, output, outputSize, &returned,
                       nullptr)) {
    // With no device open the system's answer is the invalid handle.
    TakeSystemError();
    if (m_error == 0) SetErrorCode(ERROR_INVALID_HANDLE);
    return false;
  }
  SetErrorCode(0);
  return true;
}

bool CDriverLoader::OpenDosDevice(const std::wstring& name) {
  wchar_t target[MAX_PATH];
  if (!QueryDosDeviceW(name.c_str(), target, MAX_PATH)) {
    if (TakeSystemError() != ERROR_FILE_NOT_FOUND) return false;
    const std::wstring deviceTarget = L"\\Device\\" + name;
    if (!DefineDosDeviceW(DDD_RAW_TARGET_PATH, name.c_str(), deviceTarget.c_str())) {
      TakeSystemError();
      return false;
    }
    m_definedDosName = name;
    m_definedTarget = deviceTarget;
  }
  const bool opened = CreateDeviceFile(L"\\\\.\\" + name);
  // The open handle keeps the device reachable; the name goes now rather than
  // at unload, where removing it would wait on another process.
  RemoveDefinedDosDevice();
  return opened;
}

void CDriverLoader::RemoveDefinedDosDevice() {
  if (m_definedDosName.empty()) return;
  DefineDosDeviceW(DDD_RAW_TARGET_PATH | DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE,
                   m_definedDosName.c_str(), m_definedTarget.c_str());
  m_definedDosName.clear();
  m_definedTarget.clear();
}

bool CDriverLoader::CreateDeviceFile(const std::wstring& path) {
  if (m_windows9x)
    m_device = CreateFileW(path.c_str(), 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OVERLAPPED,
                           nullptr);
  else
    m_device = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  if (m_device == INVALID_HANDLE_VALUE) {
    TakeSystemError();
    return false;
  }
  SetErrorCode(0);
  return true;
}

}  // namespace vexa::hwport
