#pragma once
// Folders the shell knows about.
#include <filesystem>
#include <optional>

namespace vexa::win {

// The user's roaming application-data folder, or nothing when the shell cannot say.
std::optional<std::filesystem::path> appDataFolder();

// The folder of the running executable.
std::filesystem::path programFolder();

}  // namespace vexa::win
