#pragma once
// Where the current configuration file lives.
#include <filesystem>
#include <optional>

namespace vexa::shell {

inline constexpr const wchar_t* kConfigFolderName = L"Vexa";
inline constexpr const wchar_t* kConfigFileName = L"current.vcp";

// Returns the configuration file to use: "<appData>\Vexa\current.vcp", creating the
// folder. A file left in the program folder by an older install is moved there,
// without replacing a copy that already exists. Without an application-data folder
// (or when it cannot be created or the file not moved) the program folder's file is used.
std::filesystem::path locateConfigFile(const std::optional<std::filesystem::path>& appData,
                                       const std::filesystem::path& programFolder);

}  // namespace vexa::shell
