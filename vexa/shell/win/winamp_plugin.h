#pragma once
// The media player's plug-in (gen_vexa.dll): where its App Paths entry says
// it lives, and its configuration, reached from "&Preferences".
#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vexa::shell {

inline constexpr const wchar_t* kWinAmpAppPath =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\gen_vexa.dll";
inline constexpr const wchar_t* kWinAmpMenuItem = L"Configure WinAmp PlugIn";

// The plug-in's file as its App Paths entry names it (at most MAX_PATH
// characters); nothing when the entry is missing.
std::optional<std::wstring> winAmpPluginPath(HKEY root = HKEY_LOCAL_MACHINE);

// Shows the plug-in's configuration: VexaInit, VexaConfig, then WinAmpQuit when
// VexaConfig exists. A plug-in that cannot be loaded is reported through `tell`.
void configureWinAmpPlugin(const std::wstring& path, const std::function<void(const std::wstring&)>& tell);

}  // namespace vexa::shell
