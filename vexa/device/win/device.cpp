#include "vexa/device/win/device.h"

#include <cstring>

#include "vexa/base/errors.h"
#include "vexa/base/file_io.h"
#include "vexa/base/strings.h"
#include "vexa/device/device_settings.h"
#include "vexa/device/win/device_page.h"
#include "vexa/device/win/learn_dialog.h"
#include "vexa/device/win/status_text.h"
#include "vexa/codec/ini_file.h"
#include "vexa/winlib/message_loop.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/find_file.h"
#include "vexa/winlib/unicode.h"

namespace vexa::device {

namespace fs = std::filesystem;

namespace {

constexpr DWORD kForcedExitCode = 0xFFFFFFFF;
constexpr DWORD kMissingMonitorExitCode = 2;
constexpr DWORD kFirstGenerationStopPauseMs = 500;
// After the exit event the thread only sends its last status; this bounds that too.
constexpr DWORD kThreadEndTimeoutMs = 3000;

std::string ansiPath(const fs::path& p) { return win::wideToAnsi(p.wstring()); }

bool writeTextFile(const fs::path& file, std::string_view text) {
  try {
    writeFileAtomically(file, text);
    return true;
  } catch (const VexaError&) {
    return false;
  }
}

std::string fromField(const char* field, size_t size) {
  size_t n = 0;
  while (n < size && field[n]) ++n;
  return std::string(field, n);
}

}  // namespace

CDevice::CDevice(DeviceHostOptions options) : m_options(std::move(options)) {
  m_terminateEvent.Create(win::toWide(abi::kMonitorTerminateEvent), true, false);
  m_exitEvent.Create(win::toWide(abi::kMonitorExitEvent), true, false);
  ScanPlugins();
}

CDevice::~CDevice() { UnloadPlugin(); }

// ---- Plug-in list ---------------------------------------------------------------

void CDevice::ScanPlugins(const std::wstring& moduleToKeep) {
  std::optional<PluginEntry> kept;
  if (m_current) {
    if (!moduleToKeep.empty() && _wcsicmp(moduleToKeep.c_str(), ModuleFileName().c_str()) == 0)
      kept = m_plugins[*m_current];
    else
      UnloadPlugin();
  }
  m_plugins.clear();
  m_current.reset();
  const fs::path folder = DevicesFolder();
  for (win::CFindFile search(folder / L"*.dll"); search.Found(); search.Next()) {
    if (search.IsFolder()) continue;
    const wchar_t* fileName = search.Entry().cFileName;
    const fs::path path = folder / fileName;
    win::CModule module;
    if (!module.Load(path)) continue;
    std::optional<PluginEntry> entry;
    if (auto getPlugInfo = module.GetProc<abi::GetPlugInfoFn>(abi::kGetPlugInfo)) {
      abi::PlugInfoRecord info{};
      getPlugInfo(&info, abi::kPlugInfoMagic);
      if (info.size == abi::kPlugInfoSize) entry = makeFirstGenerationEntry(info, path, m_ansi);
    } else if (auto deviceInfo = module.GetProc<abi::DeviceInfoFn>(abi::kDeviceInfo)) {
      abi::DeviceInfoRecord info{};
      deviceInfo(&info);
      if (info.size == abi::kDeviceInfoSize) entry = makeSecondGenerationEntry(info, path, m_ansi);
      delete[] info.deviceNames;  // the host owns the list whatever the size said
    }
    if (!entry) continue;  // the module is freed
    m_plugins.push_back(std::move(*entry));
    if (!moduleToKeep.empty() && _wcsicmp(moduleToKeep.c_str(), fileName) == 0) {
      m_current = m_plugins.size() - 1;
      if (kept) {  // the running plug-in keeps its record and settings file
        m_plugins.back().record = kept->record;
        m_plugins.back().configFile = kept->configFile;
      }
      m_module = std::move(module);
    }
  }
}

// ---- Selection ----------------------------------------------------------------------

bool CDevice::SelectDevice(const std::string& deviceName, HWND notifyWindow) {
  std::string chosen;  // for the record: in the plug-in's code page
  if (!deviceName.empty()) {
    UnloadPlugin();
    const auto index = findEntryByDeviceName(m_plugins, deviceName);
    if (!index) return false;
    m_current = *index;
    // The plug-in gets its own spelling of the name.
    for (const auto& name : m_plugins[*index].deviceNames)
      if (iequals(name, deviceName)) {
        chosen = m_ansi.fromUtf8(name);
        break;
      }
  } else {
    if (!m_current) return false;
    UnloadKeepSelection();
    chosen = fromField(m_plugins[*m_current].record.deviceName, sizeof m_plugins[*m_current].record.deviceName);
  }
  PluginEntry& entry = m_plugins[*m_current];
  if (!m_module.Load(entry.modulePath)) {
    m_current.reset();
    return false;
  }
  abi::copyField(entry.record.deviceName, chosen.c_str());
  if (notifyWindow) m_notify = notifyWindow;
  if (!m_notify) m_notify = FindWindowW(nullptr, win::toWide(abi::kMainWindowTitle).c_str());

  LoadSettings();
  if (!CreatePage(m_notify)) return false;
  if (auto onChange = Export<abi::OnChangeDeviceFn>(abi::kOnChangeDevice)) onChange(entry.record.deviceName);
  return true;
}

void CDevice::UnloadPlugin() { Unload(false); }
void CDevice::UnloadKeepSelection() { Unload(true); }

void CDevice::Unload(bool keepSelection) {
  if (m_current) {
    StopSession();
    ReleaseDevice();
    DestroyPage();
    m_module.Close();
  }
  if (!keepSelection) m_current.reset();
}

// ---- Sessions -------------------------------------------------------------------------

int CDevice::InitializeDevice() {
  m_initialized = false;
  const PluginEntry* entry = Current();
  if (!entry || entry->generation != 2 || !m_module.IsValid()) return 0;
  SendStatus(abi::MainCode::kInitialising);
  auto onInit = Export<abi::OnInitFn>(abi::kOnInit);
  if (!onInit) {
    m_initialized = true;
    m_lastInitResult = 0;
    return 0;
  }
  const std::string selector1 = m_ansi.fromUtf8(SelectorText(1));
  const std::string selector2 = m_ansi.fromUtf8(SelectorText(2));
  const int result = onInit(Record(), selector1.c_str(), selector2.c_str());
  m_lastInitResult = result;
  if (result == 0)
    m_initialized = true;
  else
    SendStatus(abi::MainCode::kDeviceNotInitialised, kMsgNotProperlyInitialised);
  CopyTiming();
  return result;
}

bool CDevice::StartSession(bool initialiseFirst) {
  const PluginEntry* entry = Current();
  if (!entry || !m_module.IsValid() || m_stopping) return false;
  if (m_running || m_thread.IsValid() || m_firstGenerationActive) {
    StopSession();
    ReleaseDevice();
  }
  if (entry->generation == 1) {
    SendStatus(abi::MainCode::kInitialising);
    auto start = Export<abi::StartMsgLoopFn>(abi::kStartMsgLoop);
    if (!start) {
      SendStatus(abi::MainCode::kDeviceNotInitialised, kMsgNoPlugInLoaded);
      return false;
    }
    if (start(m_notify) == 0) {
      SendStatus(abi::MainCode::kDeviceNotInitialised, kMsgNotProperlyInitialised);
      return false;
    }
    SendStatus(abi::MainCode::kDeviceReady);
    m_initialized = true;
    m_running = true;
    m_firstGenerationActive = true;
    return true;
  }

  if (initialiseFirst) {
    const int result = InitializeDevice();
    if (result != 0) {
      const std::string_view message = initFailureMessage(result);
      if (!message.empty()) ShowError(win::toWide(message));
      return false;
    }
  }
  // Reset here rather than on the new thread, so that a stop right after the start
  // cannot be undone by the thread's reset.
  m_terminateEvent.Reset();
  m_exitEvent.Reset();
  m_monitorTarget = (entry->capabilities & abi::Capability::kRecognisesButtons) ? m_notify : m_pageHandle;
  DWORD id = 0;
  m_thread.Attach(CreateThread(nullptr, 0, &CDevice::MonitorThreadProc, this, 0, &id));
  return m_thread.IsValid();
}

DWORD WINAPI CDevice::MonitorThreadProc(void* self) { return static_cast<CDevice*>(self)->RunMonitor(); }

DWORD CDevice::RunMonitor() {
  SendStatus(abi::MainCode::kDeviceReady);
  m_running = true;
  DWORD result = kMissingMonitorExitCode;
  if (auto monitor = Export<abi::MonitorDeviceFn>(abi::kMonitorDevice))
    result = static_cast<DWORD>(monitor(Record(), m_monitorTarget));
  CopyTiming();
  m_running = false;
  m_exitEvent.Set();
  SendStatus(abi::MainCode::kDeviceNotInitialised, kMsgDeviceDeactivated);
  return result;
}

void CDevice::StopSession() {
  const PluginEntry* entry = Current();
  if (!entry || m_stopping) return;
  m_stopping = true;
  if (entry->generation == 1) {
    if (m_firstGenerationActive) {
      SendStatus(abi::MainCode::kTemporaryStatus, kMsgTerminatingSession);
      if (auto end = Export<abi::EndMsgLoopFn>(abi::kEndMsgLoop)) end();
      // The plug-in's own thread may still send to us: keep dispatching.
      win::WaitDispatchingMessages(nullptr, kFirstGenerationStopPauseMs);
      SendStatus(abi::MainCode::kDeviceNotInitialised, kMsgDeviceDeactivated);
      m_firstGenerationActive = false;
    }
    m_running = false;
  } else if (m_thread.IsValid()) {
    m_terminateEvent.Set();
    const bool exited = win::WaitDispatchingMessages(m_exitEvent.Get(), abi::kMonitorStopTimeoutMs);
    bool ended = WaitForSingleObject(m_thread.Get(), 0) == WAIT_OBJECT_0;
    if (exited && !ended) ended = win::WaitDispatchingMessages(m_thread.Get(), kThreadEndTimeoutMs);
    if (!ended) {
      TerminateThread(m_thread.Get(), kForcedExitCode);
      WaitForSingleObject(m_thread.Get(), kThreadEndTimeoutMs);
      m_running = false;
      // The thread could not say so itself.
      SendStatus(abi::MainCode::kDeviceNotInitialised, kMsgDeviceDeactivated);
    }
    DWORD code = 0;
    if (GetExitCodeThread(m_thread.Get(), &code)) m_lastExitCode = code;
    m_thread.Close();
  }
  m_stopping = false;
}

void CDevice::ReleaseDevice() {
  m_initialized = false;
  const PluginEntry* entry = Current();
  if (!entry || !m_module.IsValid()) return;
  if (entry->generation == 1) {
    if (auto release = Export<abi::ReleaseFn>(abi::kRelease)) release();
  } else if (auto release = Export<abi::OnReleaseFn>(abi::kOnRelease)) {
    release();
  }
}

bool CDevice::RestartDevice() {
  StopSession();
  ReleaseDevice();
  return StartSession(true);
}

void CDevice::CopyTiming() {
  const PluginEntry* entry = Current();
  if (!entry) return;
  const int mode = entry->record.timingMode;
  int tolerance = entry->record.tolerance;
  if (tolerance == 0 && mode == 1) tolerance = abi::kDefaultTolerance;
  m_timingMode = mode;
  m_tolerance = tolerance;
}

// ---- Settings ------------------------------------------------------------------------

std::wstring CDevice::PluginRegistryKey() const { return m_options.registryKey + L"\\" + ModuleFileName(); }

fs::path CDevice::DefaultSettingsFile() const {
  if (!Current()) return {};
  return settingsFileLocation(m_options.appDataFolder, m_options.programFolder, win::toUtf8(ModuleFileName())).file;
}

bool CDevice::LoadSettings(const fs::path& file) {
  PluginEntry* entry = m_current ? &m_plugins[*m_current] : nullptr;
  if (!entry) return true;
  m_store.clear();
  if (entry->generation == 1) {
    if (!file.empty()) {
      auto load = Export<abi::LoadPresetFn>(abi::kLoadPreset);
      return load && load(ansiPath(file).c_str()) != 0;
    }
    win::CRegKey key;
    if (!key.Create(HKEY_CURRENT_USER, PluginRegistryKey(), KEY_ALL_ACCESS)) return false;
    if (auto read = Export<abi::ReadConfigFn>(abi::kReadConfig)) read(key.Get());
    return true;
  }
  fs::path target = file;
  if (target.empty()) {
    const auto location =
        settingsFileLocation(m_options.appDataFolder, m_options.programFolder, win::toUtf8(ModuleFileName()));
    prepareSettingsFile(location);
    target = location.file;
  }
  if (auto read = Export<abi::OnReadConfigFn>(abi::kOnReadConfig)) read(Record(), ansiPath(target).c_str());
  CopyTiming();
  entry->configFile = target;
  std::error_code ec;
  if (!fs::exists(target, ec)) return true;
  try {
    readCodeStore(m_ansi.toUtf8(readFileBytes(target)), m_store);
  } catch (const VexaError&) {
    m_store.clear();
    return false;
  }
  return true;
}

bool CDevice::SaveSettings(const fs::path& file, std::string_view leading) {
  PluginEntry* entry = m_current ? &m_plugins[*m_current] : nullptr;
  if (!entry) return true;
  if (entry->generation == 1) {
    if (!file.empty()) {
      if (!leading.empty() && !writeTextFile(file, m_ansi.fromUtf8(leading))) return false;
      auto save = Export<abi::SavePresetFn>(abi::kSavePreset);
      return save && save(ansiPath(file).c_str()) != 0;
    }
    win::CRegKey key;
    if (!key.Create(HKEY_CURRENT_USER, PluginRegistryKey(), KEY_ALL_ACCESS)) return false;
    if (auto write = Export<abi::WriteConfigFn>(abi::kWriteConfig)) write(key.Get());
    return true;
  }
  fs::path target = file;
  if (target.empty()) {
    const auto location =
        settingsFileLocation(m_options.appDataFolder, m_options.programFolder, win::toUtf8(ModuleFileName()));
    std::error_code ec;
    fs::create_directories(location.file.parent_path(), ec);
    target = location.file;
  }
  // Everything is composed beside the real file, which is replaced only at the end:
  // a failure midway leaves the previous settings in place.
  fs::path composing = target;
  composing += L".new";
  DeleteFileW(composing.c_str());
  // The caller's sections come first; the plug-in and the host add theirs after them.
  if (!leading.empty() && !writeTextFile(composing, m_ansi.fromUtf8(leading))) return false;
  bool ok = true;
  const std::string composingAnsi = ansiPath(composing);
  if (auto write = Export<abi::OnWriteConfigFn>(abi::kOnWriteConfig))
    ok = (write(Record(), composingAnsi.c_str()) & 1) != 0;
  CopyTiming();
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, composing.c_str());  // flush the profile cache

  HostSettings host;
  host.deviceName = DeviceName();
  for (int which : {1, 2}) {
    const uint32_t bits = which == 1 ? abi::Capability::kSelector1 : abi::Capability::kSelector2;
    if (!abi::Capability::has(entry->capabilities, bits)) continue;
    std::string caption = m_page ? m_page->SelectorCaption(which) : std::string();
    if (!m_page && which == 1) caption = std::string(hostSelectorCaption(entry->selectorKind));
    SelectorChoice choice{selectorKey(caption, which), SelectorText(which)};
    (which == 1 ? host.selector1 : host.selector2) = choice;
  }
  try {
    CIniFile ini = CIniFile::load(composing, m_ansi);
    writeHostSections(ini, host, m_store);
    ini.save(target, m_ansi);
  } catch (const VexaError&) {
    ok = false;
  }
  DeleteFileW(composing.c_str());
  entry->configFile = target;
  return ok;
}

std::string CDevice::SavedSelectorChoice(int which, const std::string& caption) const {
  const PluginEntry* entry = Current();
  if (!entry || entry->configFile.empty()) return {};
  try {
    return readSelectorChoice(CIniFile::load(entry->configFile, m_ansi), caption, which);
  } catch (const VexaError&) {
    return {};
  }
}

std::string CDevice::SelectorText(int which) const {
  if (m_page) return m_page->SelectorText(which);
  const PluginEntry* entry = Current();
  if (!entry) return {};
  const std::string caption = which == 1 ? std::string(hostSelectorCaption(entry->selectorKind)) : std::string();
  return SavedSelectorChoice(which, caption);
}

// ---- Pages -----------------------------------------------------------------------------

HWND CDevice::CreatePage(HWND parent) {
  const PluginEntry* entry = Current();
  if (!entry || !m_module.IsValid()) return nullptr;
  DestroyPage();
  if (entry->generation == 1) {
    auto create = Export<abi::CreateCfgDlgFn>(abi::kCreateCfgDlg);
    if (!create) return nullptr;
    abi::Point at{m_pagePosition.x, m_pagePosition.y};
    m_pageHandle = static_cast<HWND>(create(&at, parent));
    if (m_pageHandle) SetWindowPos(m_pageHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return m_pageHandle;
  }
  auto page = std::make_unique<CDevicePage>(*this);
  if (!page->Create(parent, m_pagePosition)) return nullptr;
  CDevicePage* raw = page.get();
  page->SetLearnHandler([this, raw, parent](const std::string& remote, const std::string& command) {
    CLearnDialog::Open(*this, parent, remote, command, [raw] {
      raw->RefreshTree();
      raw->MarkChanged();
    });
  });
  m_page = std::move(page);
  m_pageHandle = m_page->Handle();
  return m_pageHandle;
}

void CDevice::DestroyPage() {
  // The Learn window stores into this device and refreshes its page.
  if (CLearnDialog* learn = CLearnDialog::Find()) learn->Destroy();
  if (m_page) {
    m_page->Destroy();
    m_page.reset();
  } else if (m_pageHandle && IsWindow(m_pageHandle)) {
    DestroyWindow(m_pageHandle);
  }
  m_pageHandle = nullptr;
}

// ---- Enumeration -------------------------------------------------------------------------

std::string CDevice::FirstRemote() {
  const PluginEntry* entry = Current();
  if (!entry) return {};
  if (entry->capabilities & abi::Capability::kRecognisesButtons) {
    auto first = Export<abi::GetFirstRmtFn>(abi::kGetFirstRmt);
    if (!first) return {};
    char name[abi::kEnumNameBuffer] = {};
    m_pluginRemoteCursor = static_cast<int>(first(name));
    return m_pluginRemoteCursor ? m_ansi.toUtf8(fromField(name, sizeof name)) : std::string();
  }
  m_enumRemotes.clear();
  for (const auto& [name, remote] : m_store.remotes()) m_enumRemotes.push_back(name);
  m_enumRemote = 0;
  return NextRemote();
}

std::string CDevice::NextRemote() {
  const PluginEntry* entry = Current();
  if (!entry) return {};
  if (entry->capabilities & abi::Capability::kRecognisesButtons) {
    auto next = Export<abi::GetNextRmtFn>(abi::kGetNextRmt);
    char name[abi::kEnumNameBuffer] = {};
    if (!next || !m_pluginRemoteCursor || !next(&m_pluginRemoteCursor, name)) return {};
    return m_ansi.toUtf8(fromField(name, sizeof name));
  }
  return m_enumRemote < m_enumRemotes.size() ? m_enumRemotes[m_enumRemote++] : std::string();
}

std::string CDevice::FirstCommand(const std::string& remote) {
  const PluginEntry* entry = Current();
  if (!entry) return {};
  if (entry->capabilities & abi::Capability::kRecognisesButtons) {
    auto first = Export<abi::GetFirstCmdFn>(abi::kGetFirstCmd);
    if (!first) return {};
    char name[abi::kEnumNameBuffer] = {};
    m_pluginCommandCursor = static_cast<int>(first(m_ansi.fromUtf8(remote).c_str(), name));
    return m_pluginCommandCursor ? m_ansi.toUtf8(fromField(name, sizeof name)) : std::string();
  }
  m_enumCommands.clear();
  if (const DeviceRemote* r = m_store.findRemote(remote))
    for (const auto& [name, code] : r->commands) m_enumCommands.push_back(name);
  m_enumCommand = 0;
  return NextCommand();
}

std::string CDevice::NextCommand() {
  const PluginEntry* entry = Current();
  if (!entry) return {};
  if (entry->capabilities & abi::Capability::kRecognisesButtons) {
    auto next = Export<abi::GetNextCmdFn>(abi::kGetNextCmd);
    char name[abi::kEnumNameBuffer] = {};
    if (!next || !m_pluginCommandCursor || !next(&m_pluginCommandCursor, name)) return {};
    return m_ansi.toUtf8(fromField(name, sizeof name));
  }
  return m_enumCommand < m_enumCommands.size() ? m_enumCommands[m_enumCommand++] : std::string();
}

std::vector<std::string> CDevice::CommandNames(const std::string& remote) {
  // A plug-in whose enumeration never ends must not hang the page that asked.
  constexpr size_t kMostNames = 4096;
  std::vector<std::string> names;
  for (std::string name = FirstCommand(remote); !name.empty() && names.size() < kMostNames; name = NextCommand())
    names.push_back(std::move(name));
  return names;
}

// ---- Misc --------------------------------------------------------------------------------

void CDevice::ShowAbout(HWND owner) {
  const PluginEntry* entry = Current();
  if (!entry) return;
  if (entry->generation == 1) {
    if (auto about = Export<abi::AboutFn>(abi::kAbout)) return about();
  } else if (auto about = Export<abi::OnAboutFn>(abi::kOnAbout)) {
    return about();
  }
  const std::wstring text = L"Device Name:\t" + win::toWide(DeviceName()) + L"\nModule Name:\t" +
                            entry->modulePath.wstring();
  Prompt().Ask(owner, text, L"Info about PlugIn", MB_OK | MB_ICONINFORMATION);
}

std::wstring CDevice::ModuleFileName() const {
  const PluginEntry* entry = Current();
  return entry ? entry->modulePath.filename().wstring() : std::wstring();
}

fs::path CDevice::ModulePath() const {
  const PluginEntry* entry = Current();
  return entry ? entry->modulePath : fs::path();
}

std::string CDevice::SelectorDescription() const {
  const PluginEntry* entry = Current();
  return entry ? std::string(hostSelectorCaption(entry->selectorKind)) : std::string();
}

std::string CDevice::DeviceName() const {
  const PluginEntry* entry = Current();
  return entry ? m_ansi.toUtf8(fromField(entry->record.deviceName, sizeof entry->record.deviceName)) : std::string();
}

abi::DeviceRecord* CDevice::Record() { return m_current ? &m_plugins[*m_current].record : nullptr; }

void CDevice::SendStatus(unsigned code, std::optional<std::string_view> text) {
  if (!m_notify || !IsWindow(m_notify)) return;
  // Codes 100 to 104 carry the plug-ins' code page, whoever sends them.
  char* copy = text ? newStatusText(m_ansi.fromUtf8(*text)) : nullptr;
  const LRESULT taken = SendMessageW(m_notify, abi::kVexaMessage, code, reinterpret_cast<LPARAM>(copy));
  if (taken == 0) deleteStatusText(copy);
}

win::IPrompt& CDevice::Prompt() const { return m_options.prompt ? *m_options.prompt : win::MessageBoxes(); }

void CDevice::ShowError(const std::wstring& text) const {
  Prompt().Ask(m_notify, text, win::toWide(abi::kMainWindowTitle), MB_OK | MB_ICONERROR);
}

int CDevice::ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) const {
  return Prompt().Ask(owner, text, title, type);
}

uint64_t CDevice::Now100ns() const {
  if (m_options.clock) return m_options.clock();
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

bool CDevice::AskYesNo(const std::wstring& question) const {
  return Prompt().Ask(m_notify, question, win::toWide(abi::kMainWindowTitle), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace vexa::device
