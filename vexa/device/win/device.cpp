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
#include "vexa/winlib/system_time.h"
#include "vexa/winlib/unicode.h"

namespace vexa::device {

namespace fs = std::filesystem;

namespace {

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

CDevice::CDevice(DeviceHostOptions options)
    : m_options(std::move(options)),
      m_reception(m_store, {m_ansi, [this] { return Now100ns(); }, [this] { return m_timingMode == 1; }}) {
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
      if (kept) m_plugins.back().configFile = kept->configFile;  // the running plug-in keeps its file
      if (m_adapter) m_plugins.back().record = m_adapter->Record();
      // A plug-in already loaded keeps its adapter, its record and its session.
      if (!m_adapter) LoadModule(m_plugins.back(), std::move(module));
    }
  }
  if (!m_current && m_adapter) {  // the running plug-in's file is gone
    StopSession();
    ReleaseDevice();
    DestroyPage();
    m_adapter.reset();
  }
}

bool CDevice::LoadModule(PluginEntry& entry, win::CModule module) {
  m_adapter = makePluginAdapter(entry.generation, std::move(module), entry.record, m_terminateEvent.Get(),
                                m_exitEvent.Get());
  return m_adapter != nullptr;
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
  win::CModule module;
  abi::copyField(entry.record.deviceName, chosen.c_str());
  if (!module.Load(entry.modulePath) || !LoadModule(entry, std::move(module))) {
    m_current.reset();
    return false;
  }
  if (notifyWindow) m_notify = notifyWindow;
  if (!m_notify) m_notify = FindWindowW(nullptr, win::toWide(abi::kMainWindowTitle).c_str());

  LoadSettings();
  if (!CreatePage(m_notify)) return false;
  m_adapter->ChangeDevice();
  return true;
}

void CDevice::UnloadPlugin() { Unload(false); }
void CDevice::UnloadKeepSelection() { Unload(true); }

void CDevice::Unload(bool keepSelection) {
  if (m_current && m_adapter) {
    StopSession();
    ReleaseDevice();
    DestroyPage();
    // The entry remembers the record for a reload of the same selection.
    m_plugins[*m_current].record = m_adapter->Record();
    m_adapter.reset();
  }
  if (!keepSelection) m_current.reset();
}

// ---- Sessions -------------------------------------------------------------------------

int CDevice::InitializeDevice() {
  m_initialized = false;
  if (!m_adapter || !m_adapter->InitialisesSessions()) return 0;
  SendStatus(abi::MainCode::kInitialising);
  SyncSelectors();
  const std::string selector1 = m_ansi.fromUtf8(SelectorText(1));
  const std::string selector2 = m_ansi.fromUtf8(SelectorText(2));
  const int result = m_adapter->Initialize(selector1, selector2);
  m_lastInitResult = result;
  if (result == 0)
    m_initialized = true;
  else
    SendStatus(abi::MainCode::kDeviceNotInitialised, kMsgNotProperlyInitialised);
  CopyTiming();
  return result;
}

bool CDevice::StartSession(bool initialiseFirst) {
  if (!m_adapter || m_stopping) return false;
  if (m_running || m_adapter->SessionActive()) {
    StopSession();
    ReleaseDevice();
  }
  if (initialiseFirst && m_adapter->InitialisesSessions()) {
    const int result = InitializeDevice();
    if (result != 0) {
      const std::string_view message = initFailureMessage(result);
      if (!message.empty()) ShowError(win::toWide(message));
      return false;
    }
  }
  return m_adapter->Start(*this);
}

HWND CDevice::MonitorTarget() const {
  const PluginEntry* entry = Current();
  const bool recognises = entry && (entry->capabilities & abi::Capability::kRecognisesButtons);
  return recognises ? m_notify : m_pageHandle;
}

void CDevice::StopSession() {
  if (!m_adapter || m_stopping) return;
  m_stopping = true;
  m_adapter->Stop(*this);
  if (auto code = m_adapter->LastExitCode()) m_lastExitCode = code;
  m_stopping = false;
}

void CDevice::ReleaseDevice() {
  m_initialized = false;
  if (m_adapter) m_adapter->Release();
}

bool CDevice::RestartDevice() {
  StopSession();
  ReleaseDevice();
  return StartSession(true);
}

void CDevice::CopyTiming() {
  if (!m_adapter) return;
  const int mode = m_adapter->Record().timingMode;
  int tolerance = m_adapter->Record().tolerance;
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
  if (!entry || !m_adapter) return true;
  m_store.clear();
  if (!m_adapter->KeepsHostSettings()) return LoadOwnSettings(file);
  fs::path target = file;
  if (target.empty()) {
    const auto location =
        settingsFileLocation(m_options.appDataFolder, m_options.programFolder, win::toUtf8(ModuleFileName()));
    prepareSettingsFile(location);
    target = location.file;
  }
  m_adapter->ReadSettings(target, nullptr);
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

bool CDevice::LoadOwnSettings(const fs::path& file) {
  if (!file.empty()) return m_adapter->ReadSettings(file, nullptr);
  win::CRegKey key;
  if (!key.Create(HKEY_CURRENT_USER, PluginRegistryKey(), KEY_ALL_ACCESS)) return false;
  return m_adapter->ReadSettings({}, key.Get());
}

bool CDevice::SaveOwnSettings(const fs::path& file, std::string_view leading) {
  if (!file.empty()) {
    if (!leading.empty() && !writeTextFile(file, m_ansi.fromUtf8(leading))) return false;
    return m_adapter->WriteSettings(file, nullptr);
  }
  win::CRegKey key;
  if (!key.Create(HKEY_CURRENT_USER, PluginRegistryKey(), KEY_ALL_ACCESS)) return false;
  return m_adapter->WriteSettings({}, key.Get());
}

bool CDevice::SaveSettings(const fs::path& file, std::string_view leading) {
  PluginEntry* entry = m_current ? &m_plugins[*m_current] : nullptr;
  if (!entry || !m_adapter) return true;
  if (!m_adapter->KeepsHostSettings()) return SaveOwnSettings(file, leading);
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
  bool ok = m_adapter->WriteSettings(composing, nullptr);
  CopyTiming();
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, composing.c_str());  // flush the profile cache
  try {
    CIniFile ini = CIniFile::load(composing, m_ansi);
    writeHostSections(ini, HostSections(), m_store);
    ini.save(target, m_ansi);
  } catch (const VexaError&) {
    ok = false;
  }
  DeleteFileW(composing.c_str());
  entry->configFile = target;
  return ok;
}

void CDevice::SyncSelectors() {
  // Plug-ins get the lists' handles (codes 201 to 204) and may choose in them
  // without a notification: what the page shows is the choice.
  if (m_page) m_page->PublishSelectors();
}

HostSettings CDevice::HostSections() {
  SyncSelectors();
  const PluginEntry* entry = Current();
  HostSettings host;
  host.deviceName = DeviceName();
  for (int which : {1, 2}) {
    const uint32_t bits = which == 1 ? abi::Capability::kSelector1 : abi::Capability::kSelector2;
    if (!abi::Capability::has(entry->capabilities, bits)) continue;
    std::string caption;
    if (m_shown[which - 1])
      caption = m_shown[which - 1]->caption;
    else if (which == 1)
      caption = std::string(hostSelectorCaption(entry->selectorKind));
    SelectorChoice choice{selectorKey(caption, which), SelectorText(which)};
    (which == 1 ? host.selector1 : host.selector2) = choice;
  }
  return host;
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
  if (which < 1 || which > 2) return {};
  if (m_shown[which - 1]) return m_shown[which - 1]->text;
  const PluginEntry* entry = Current();
  if (!entry) return {};
  const std::string caption = which == 1 ? std::string(hostSelectorCaption(entry->selectorKind)) : std::string();
  return SavedSelectorChoice(which, caption);
}

void CDevice::SetSelectorChoice(int which, const std::string& caption, const std::string& text) {
  if (which >= 1 && which <= 2) m_shown[which - 1] = ShownSelector{caption, text};
}

bool CDevice::FillSelector(HWND list, int which, std::string& caption) {
  std::string ansi;
  if (!m_adapter || !m_adapter->FillSelector(list, which, ansi)) return false;
  caption = m_ansi.toUtf8(ansi);
  return true;
}

std::optional<int> CDevice::RunSetup(HWND mainWindow) {
  if (!m_adapter) return std::nullopt;
  const std::optional<int> result = m_adapter->Setup(mainWindow);
  CopyTiming();
  return result;
}

// ---- Pages -----------------------------------------------------------------------------

HWND CDevice::CreatePage(HWND parent) {
  if (!Current() || !m_adapter) return nullptr;
  DestroyPage();
  if (m_adapter->DrawsOwnPage()) {
    m_pageHandle = m_adapter->CreateOwnPage(parent, m_pagePosition);
    return m_pageHandle;
  }
  m_reception.SetCommandTarget(parent);
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
  if (CLearnDialog* learn = CLearnDialog::Find(*this)) learn->Destroy();
  m_reception.StopRepeating();
  if (m_page) {
    m_page->Destroy();
    m_page.reset();
  } else if (m_pageHandle && IsWindow(m_pageHandle)) {
    DestroyWindow(m_pageHandle);
  }
  m_pageHandle = nullptr;
  m_shown[0].reset();
  m_shown[1].reset();
}

// ---- Enumeration -------------------------------------------------------------------------

// With capability 0x10 the plug-in names them; otherwise the code store does.
std::string CDevice::FirstRemote() {
  const PluginEntry* entry = Current();
  if (!entry || !m_adapter) return {};
  if (entry->capabilities & abi::Capability::kRecognisesButtons)
    return m_ansi.toUtf8(m_adapter->FirstRemote().value_or(std::string()));
  m_enumRemotes.clear();
  for (const auto& [name, remote] : m_store.remotes()) m_enumRemotes.push_back(name);
  m_enumRemote = 0;
  return NextRemote();
}

std::string CDevice::NextRemote() {
  const PluginEntry* entry = Current();
  if (!entry || !m_adapter) return {};
  if (entry->capabilities & abi::Capability::kRecognisesButtons)
    return m_ansi.toUtf8(m_adapter->NextRemote().value_or(std::string()));
  return m_enumRemote < m_enumRemotes.size() ? m_enumRemotes[m_enumRemote++] : std::string();
}

std::string CDevice::FirstCommand(const std::string& remote) {
  const PluginEntry* entry = Current();
  if (!entry || !m_adapter) return {};
  if (entry->capabilities & abi::Capability::kRecognisesButtons)
    return m_ansi.toUtf8(m_adapter->FirstCommand(m_ansi.fromUtf8(remote)).value_or(std::string()));
  m_enumCommands.clear();
  if (const DeviceRemote* r = m_store.findRemote(remote))
    for (const auto& [name, code] : r->commands) m_enumCommands.push_back(name);
  m_enumCommand = 0;
  return NextCommand();
}

std::string CDevice::NextCommand() {
  const PluginEntry* entry = Current();
  if (!entry || !m_adapter) return {};
  if (entry->capabilities & abi::Capability::kRecognisesButtons)
    return m_ansi.toUtf8(m_adapter->NextCommand().value_or(std::string()));
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
  if (m_adapter && m_adapter->About()) return;
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
  if (!entry) return {};
  const abi::DeviceRecord& record = m_adapter ? m_adapter->Record() : entry->record;
  return m_ansi.toUtf8(fromField(record.deviceName, sizeof record.deviceName));
}

abi::DeviceRecord* CDevice::Record() { return m_adapter ? &m_adapter->Record() : nullptr; }

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
  return m_options.clock ? m_options.clock() : win::systemTime100ns();
}

bool CDevice::AskYesNo(const std::wstring& question) const {
  return Prompt().Ask(m_notify, question, win::toWide(abi::kMainWindowTitle), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace vexa::device
