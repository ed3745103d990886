#include "vexa/shell/win/settings_store.h"

#include "vexa/winlib/reg_key.h"

namespace vexa::shell {

namespace {

constexpr uint32_t kSavedBits = ProgramOptions::kStartWithWindows | ProgramOptions::kHideOnStartup |
                                ProgramOptions::kShowShutdownWindow | ProgramOptions::kDisableMultithreading |
                                ProgramOptions::kLeaveFocusAfterKeystroke | ProgramOptions::kServerForOtherMachines |
                                ProgramOptions::kEnableLog | ProgramOptions::kNoExitConfirmation;

bool runValueExists(const SettingsLocation& where) {
  win::CRegKey run;
  return run.Open(where.machineRoot, where.runKey) && run.QueryString(kRunValueName).has_value();
}

bool writeRunValue(const SettingsLocation& where, bool startWithWindows, const std::filesystem::path& executable) {
  win::CRegKey run;
  if (!run.Create(where.machineRoot, where.runKey)) return false;
  if (startWithWindows) return run.SetString(kRunValueName, executable.wstring());
  return run.DeleteValue(kRunValueName) || !run.QueryString(kRunValueName);
}

bool writeAppPaths(const SettingsLocation& where, const std::filesystem::path& executable) {
  win::CRegKey entry;
  if (!entry.Create(where.machineRoot, where.appPathsKey + L"\\vexa.exe")) return false;
  const std::wstring folder = executable.parent_path().wstring();
  const bool path = entry.SetString(L"", folder + L"\\vexa.exe");
  return entry.SetString(L"Path", folder) && path;
}

}  // namespace

ProgramSettings loadProgramSettings(const SettingsLocation& where) {
  ProgramSettings s;
  win::CRegKey key;
  if (key.Open(where.userRoot, where.programKey)) {
    s.options = optionsFromWord(key.QueryDword(L"Options"));
    if (auto v = key.QueryDword(L"ServerPort")) s.serverPort = *v;
    if (auto v = key.QueryDword(L"RepThreshold")) s.repThresholdMs = *v;
    if (auto v = key.QueryDword(L"TypematicDelay")) s.typematicDelayMs = *v;
    if (auto v = key.QueryDword(L"FirstRun")) s.firstRun = *v != 0;
    if (auto v = key.QueryDword(L"ComCtl32VerWarned")) s.comCtlWarned = *v != 0;
  }
  // The Run value is the truth: someone may have removed it outside the program.
  s.options.set(ProgramOptions::kStartWithWindows, runValueExists(where));
  return s;
}

bool saveProgramSettings(const ProgramSettings& settings, const std::filesystem::path& executable,
                         const SettingsLocation& where) {
  win::CRegKey key;
  if (!key.Create(where.userRoot, where.programKey)) return false;
  key.SetDword(L"FirstRun", 0);
  // Machine-wide values fail without the rights to write them; the rest is saved all the same.
  writeAppPaths(where, executable);
  // Bits no check box shows are the program's own and stay as they were.
  const uint32_t stored = key.QueryDword(L"Options").value_or(ProgramOptions::kDefaultWord);
  key.SetDword(L"Options", (stored & ~kSavedBits) | (settings.options.word & kSavedBits));
  key.SetDword(L"ServerPort", settings.serverPort);
  key.SetDword(L"RepThreshold", settings.repThresholdMs);
  key.SetDword(L"TypematicDelay", settings.typematicDelayMs);
  if (settings.comCtlWarned) key.SetDword(L"ComCtl32VerWarned", 1);
  writeRunValue(where, settings.options.has(ProgramOptions::kStartWithWindows), executable);
  return true;
}

bool storeComCtlWarned(const SettingsLocation& where) {
  win::CRegKey key;
  return key.Create(where.userRoot, where.programKey) && key.SetDword(L"ComCtl32VerWarned", 1);
}

bool storeFirstRunDone(const SettingsLocation& where) {
  win::CRegKey key;
  return key.Create(where.userRoot, where.programKey) && key.SetDword(L"FirstRun", 0);
}

}  // namespace vexa::shell
