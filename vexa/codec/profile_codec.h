#pragma once
// The two file forms of a key tree.
#include <string>
#include <string_view>

#include "vexa/codec/profile_tree.h"

namespace vexa {

enum class ProfileEncoding { Text, Binary };

// Text when there are at least five bytes and each of the first five is a
// printable character (32..127) or a line break.
bool looksLikeText(std::string_view bytes);

// Sections "[Key\Path]" followed by "name=value" lines; keys along a path
// are created on demand, so sections may come in any order.
void readProfileText(std::string_view text, CProfileTree& tree);
std::string writeProfileText(const CProfileTree& tree);

// The archive form: per key in depth-first order its position path, its
// name and its value map. Throws ArchiveError naming the offset.
void readProfileBinary(std::string_view bytes, CProfileTree& tree);
std::string writeProfileBinary(const CProfileTree& tree);

void readProfile(std::string_view bytes, CProfileTree& tree);
std::string writeProfile(const CProfileTree& tree, ProfileEncoding encoding);

}  // namespace vexa
