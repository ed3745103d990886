#pragma once
// Naming rules shared by every item of the command tree.
#include <functional>
#include <string>
#include <string_view>

namespace vexa {

// They structure configuration files and the code store's section names.
inline constexpr std::string_view kReservedChars = "\\#[]@=|";

bool hasReservedChar(std::string_view name);

// `wanted` if free, else "%s_%d" with a counter from 1 until `taken` says no.
std::string makeUniqueName(std::string_view wanted, const std::function<bool(std::string_view)>& taken);

inline constexpr std::string_view kStartupMacro = "Startup Macro";
inline constexpr std::string_view kStartupActions = "Startup Actions";
inline constexpr std::string_view kNoRunningApplications = "No running applications";
inline constexpr std::string_view kAppCommandPrefix = "App:";

// The folder whose commands apply when no other defined application runs,
// whatever the case the user typed its name in.
bool isSpecialFolderName(std::string_view name);

}  // namespace vexa
