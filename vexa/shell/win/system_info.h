#pragma once
// What the configuration dump says about the running system and its modules.
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

#include "vexa/shell/error_report.h"

namespace vexa::shell {

// A module file's fixed version as "%d.%d.%d.%d", else the "FileVersion" of
// its "040904b0" strings; "<unknown>" when it has neither.
std::string fileVersionText(const std::filesystem::path& file);
// The same for a loaded module's file.
std::string moduleVersionText(HMODULE module);
// The same for a module of this process named like "tapmod.dll"; "Not loaded" when it is not.
std::string loadedModuleVersion(const std::wstring& moduleName);

// Windows' version, service pack and the user's default language; none when unreadable.
std::optional<OsVersion> currentOsVersion();
// The Windows Sockets layer as WSAStartup describes it; none when it fails.
std::optional<WinsockVersion> currentWinsockVersion();

}  // namespace vexa::shell
