#pragma once
#include <filesystem>

#include "vexa/codec/profile_codec.h"

namespace vexa {

// A missing file reads as an empty tree; unreadable or malformed ones throw
// (FileError, ArchiveError) and leave `tree` untouched. The file's text is in
// `codePage`.
void loadProfileFile(const std::filesystem::path& file, CProfileTree& tree, const ICodePage& codePage);
void saveProfileFile(const CProfileTree& tree, const std::filesystem::path& file, ProfileEncoding encoding,
                     const ICodePage& codePage);

}  // namespace vexa
