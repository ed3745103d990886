#pragma once
// File names inside the program are UTF-8. A path made from a narrow string
// would read it in the locale's (on Windows: the ANSI) encoding instead, so
// every conversion between the two goes through here.
#include <filesystem>
#include <string>
#include <string_view>

namespace vexa {

std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path& path);

}  // namespace vexa
