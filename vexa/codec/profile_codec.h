#pragma once
// The two file forms of a key tree. Names and values are UTF-8 in the tree;
// files keep them in their code page, which the file-level functions take.
#include <iosfwd>
#include <string>
#include <string_view>

#include "vexa/base/code_page.h"
#include "vexa/codec/profile_stream.h"
#include "vexa/codec/profile_tree.h"

namespace vexa {

enum class ProfileEncoding { Text, Binary };

// Text when there are at least five bytes and each of the first five is a
// printable character (32..127) or a line break.
bool looksLikeText(std::string_view bytes);

// Sections "[Key\Path]" followed by "name=value" lines; keys along a path
// are created on demand, so sections may come in any order. The text here
// is UTF-8, as the tree's.
void readProfileText(std::string_view text, CProfileTree& tree);
std::string writeProfileText(const CProfileTree& tree);
// The text form key by key, without a key tree, for text whose sections
// come in tree order, each key once (as writers put them). False, part-way
// through, at a section that comes back to a key: read that text with
// readProfileText.
bool streamProfileText(std::string_view text, IProfileVisitor& visitor);

// The archive form: per key in depth-first order its position path, its
// name and its value map, strings in `codePage`. Throws ArchiveError naming
// the offset.
void readProfileBinary(std::string_view bytes, CProfileTree& tree, const ICodePage& codePage);
std::string writeProfileBinary(const CProfileTree& tree, const ICodePage& codePage);
// The archive form key by key, without a key tree, for files whose keys come
// in tree order (as writers put them). False, part-way through, for a file
// that adds to a key already ended or shares a value map: read that one
// with readProfileBinary. Throws ArchiveError as readProfileBinary does.
bool streamProfileBinary(std::string_view bytes, IProfileVisitor& visitor, const ICodePage& codePage);
// The same from a stream read piece by piece, holding only what is not read
// yet. FileError when the stream cannot be read.
bool streamProfileBinary(std::istream& bytes, IProfileVisitor& visitor, const ICodePage& codePage);

// File bytes in either form, text in `codePage`.
void readProfile(std::string_view bytes, CProfileTree& tree, const ICodePage& codePage);
std::string writeProfile(const CProfileTree& tree, ProfileEncoding encoding, const ICodePage& codePage);

}  // namespace vexa
