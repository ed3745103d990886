#pragma once
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace vexa {

// Whole-file read; throws FileError naming the file.
std::string readFileBytes(const std::filesystem::path& file);

// Writes beside the target and renames over it, so a failure or crash midway
// leaves the previous file intact. Throws FileError.
void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);
// The same for bytes that `write` puts into the stream piece by piece; what
// it throws leaves the previous file too.
void writeFileAtomically(const std::filesystem::path& file, const std::function<void(std::ostream&)>& write);

}  // namespace vexa
