#pragma once
// Loads the hardware-access kernel driver for this process and talks to it.
// The operations are one table of virtual calls, kept in this order.

#include <windows.h>

#include <string>

namespace vexa::hwport {

class CDriverLoader final {
 public:
  CDriverLoader();
  ~CDriverLoader();
  CDriverLoader(const CDriverLoader&) = delete;
  CDriverLoader& operator=(const CDriverLoader&) = delete;

  // Starts (or installs and starts) the driver found in `folder` and opens it.
  bool Load(const std::wstring& folder);
  // Only what needs no other thread or library: the loader lock may be held.
  void Unload();

  bool IsLoaded() const { return m_loaded; }
  DWORD ErrorCode() const { return m_error; }
  bool IsWindows9x() const { return m_windows9x; }

  virtual void SetErrorCode(DWORD error);
  virtual DWORD TakeSystemError();
  virtual bool StartDriverService(const std::wstring& name);
  virtual bool InstallAndStartService(const std::wstring& name, const std::wstring& imagePath);
  virtual void StopStartedService();
  virtual bool StopService(const std::wstring& name, bool remove);
  virtual bool OpenDriverIfClosed();
  virtual void CloseDriver();
  virtual bool ReadDriver(void* buffer, DWORD size, DWORD* done);
  virtual bool WriteDriver(const void* buffer, DWORD size, DWORD* done);
  virtual bool Control(DWORD code, const void* input, DWORD inputSize);
  virtual bool ControlWithOutput(DWORD code, const void* input, DWORD inputSize, void* output, DWORD outputSize);
  virtual bool OpenDosDevice(const std::wstring& name);
  virtual bool CreateDeviceFile(const std::wstring& path);

 private:
  bool OpenServiceManager();
  SC_HANDLE OpenNamedService(const std::wstring& name);
  void RemoveDefinedDosDevice();

  bool m_windows9x = false;
  SC_HANDLE m_manager = nullptr;
  DWORD m_serviceAccess = SERVICE_ALL_ACCESS;
  std::wstring m_startedService;
  std::wstring m_definedDosName;
  std::wstring m_definedTarget;
  std::wstring m_driverName;
  HANDLE m_device = INVALID_HANDLE_VALUE;
  DWORD m_error = 0;
  bool m_loaded = false;
};

// The driver's base name on this platform family.
std::wstring DriverName(bool windows9x);

}  // namespace vexa::hwport
