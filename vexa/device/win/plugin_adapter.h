#pragma once
// One loaded plug-in behind the calls the host makes, whatever its generation.
// The exports are resolved once, when the plug-in is selected: a plug-in cannot
// tell a kept pointer from a fresh lookup while its library stays loaded.
#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vexa/device/plugin_abi.h"
#include "vexa/device/plugin_list.h"
#include "vexa/device/win/plugin_exports.h"
#include "vexa/winlib/module.h"

namespace vexa::device {

// What an adapter asks of the host while it runs a session.
class IAdapterHost {
 public:
  virtual ~IAdapterHost() = default;
  virtual void SendStatus(unsigned code, std::optional<std::string_view> text = std::nullopt) = 0;
  virtual HWND NotifyWindow() const = 0;
  // Where MonitorDevice sends its codes: the device page, or the main window for
  // plug-ins that recognise buttons themselves.
  virtual HWND MonitorTarget() const = 0;
  // The plug-in may have changed timingMode and tolerance in its record.
  virtual void CopyTiming() = 0;
  virtual void SetInitialized(bool initialized) = 0;
  virtual void SetRunning(bool running) = 0;
};

class IPluginAdapter {
 public:
  virtual ~IPluginAdapter() = default;

  abi::DeviceRecord& Record() { return m_record; }
  const abi::DeviceRecord& Record() const { return m_record; }

  // After selection, with the record's device name set.
  virtual void ChangeDevice() = 0;

  // ---- Sessions
  // Whether a session starts with OnInit and the selectors' texts.
  virtual bool InitialisesSessions() const = 0;
  // OnInit's result; 0 (ready) for a plug-in without it.
  virtual int Initialize(const std::string& selector1, const std::string& selector2) = 0;
  // Starts receiving; the host has stopped and released a running session already.
  virtual bool Start(IAdapterHost& host) = 0;
  virtual void Stop(IAdapterHost& host) = 0;
  virtual bool SessionActive() const = 0;
  virtual bool HasMonitorThread() const { return false; }
  virtual std::optional<DWORD> LastExitCode() const { return std::nullopt; }
  virtual void Release() = 0;

  // ---- Settings
  // Whether the host keeps a settings file with its own sections and the code store
  // for this plug-in; otherwise the plug-in keeps everything itself.
  virtual bool KeepsHostSettings() const = 0;
  // `file` is the place the host chose; without one, `key` is the registry key of a
  // plug-in that keeps its own settings. Returns the plug-in's verdict.
  virtual bool ReadSettings(const std::filesystem::path& file, HKEY key) = 0;
  virtual bool WriteSettings(const std::filesystem::path& file, HKEY key) = 0;

  // ---- Windows
  // Whether the plug-in draws its configuration window itself (CreateOwnPage);
  // otherwise the host's device page shows it.
  virtual bool DrawsOwnPage() const = 0;
  virtual HWND CreateOwnPage(HWND parent, POINT position) = 0;
  // OnFillSelector; false without it.
  virtual bool FillSelector(HWND list, int which, std::string& caption) = 0;
  virtual std::optional<int> Setup(HWND mainWindow) = 0;  // nullopt without OnSetup
  virtual bool About() = 0;                               // false: the host shows its own box

  // ---- Names the plug-in enumerates itself (GetFirstRmt and friends), in its code
  // page; nullopt when the export is missing, empty at the end.
  std::optional<std::string> FirstRemote();
  std::optional<std::string> NextRemote();
  std::optional<std::string> FirstCommand(const std::string& remote);
  std::optional<std::string> NextCommand();

 protected:
  IPluginAdapter(win::CModule module, const abi::DeviceRecord& record)
      : m_module(std::move(module)), m_record(record), m_names(resolveEnumerationExports(m_module)) {}

  win::CModule m_module;  // freed last, after everything that may call into it
  abi::DeviceRecord m_record{};

 private:
  EnumerationExports m_names;
  int m_remoteCursor = 0;
  intptr_t m_commandCursor = 0;  // never narrowed: it may be an address
};

// Resolves the exports of an already loaded plug-in of that generation; the adapter
// keeps the module loaded and frees it last.
std::unique_ptr<IPluginAdapter> makePluginAdapter(PluginGeneration generation, win::CModule module,
                                                  const abi::DeviceRecord& record, HANDLE terminateEvent,
                                                  HANDLE exitEvent);

}  // namespace vexa::device
