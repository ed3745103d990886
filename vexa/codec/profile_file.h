#pragma once
#include <filesystem>

#include "vexa/codec/profile_codec.h"

namespace vexa {

// A missing file reads as an empty tree; unreadable or malformed ones throw
// (FileError, ArchiveError) and leave `tree` untouched.
void loadProfileFile(const std::filesystem::path& file, CProfileTree& tree);
void saveProfileFile(const CProfileTree& tree, const std::filesystem::path& file, ProfileEncoding encoding);

}  // namespace vexa
