#include "vexa/shell/win/winamp_plugin.h"

#include "vexa/winlib/module.h"
#include "vexa/winlib/reg_key.h"

namespace vexa::shell {

namespace {

using PluginCallFn = void(WINAPI*)();

void callIfExported(HMODULE module, const char* name) {
  if (const auto call = reinterpret_cast<PluginCallFn>(GetProcAddress(module, name))) call();
}

}  // namespace

std::optional<std::wstring> winAmpPluginPath(HKEY root) {
  win::CRegKey key;
  if (!key.Open(root, kWinAmpAppPath)) return std::nullopt;
  std::wstring path = key.QueryString(L"").value_or(L"");
  if (path.size() > MAX_PATH) path.resize(MAX_PATH);
  return path;
}

void configureWinAmpPlugin(const std::wstring& path, const std::function<void(const std::wstring&)>& tell) {
  // The player may have it loaded in this process already; then it is not ours to free.
  HMODULE module = path.empty() ? nullptr : GetModuleHandleW(path.c_str());
  win::CModule loadedHere;
  if (!module && !path.empty() && loadedHere.Load(path)) module = loadedHere.Get();
  if (!module) {
    tell(L"Winamp Plugin not found at\n" + path +
         L"\n\nPlease start WinAmp and open the PlugIn configuration\ndialog to reinitialize the plugin location.");
    return;
  }
  callIfExported(module, "VexaInit");
  if (!GetProcAddress(module, "VexaConfig")) return;
  callIfExported(module, "VexaConfig");
  callIfExported(module, "WinAmpQuit");
}

}  // namespace vexa::shell
