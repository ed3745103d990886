#pragma once
// The command tree to and from a key tree, under the top key "Commands".
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/base/code_page.h"
#include "vexa/model/app_profile.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/codec/profile_codec.h"
#include "vexa/codec/profile_tree.h"

namespace vexa {

inline constexpr std::string_view kCommandsKey = "Commands";
inline constexpr std::string_view kLoadingConfiguration = "Loading configuration";

struct TreeLoadResult {
  bool ok = true;
  // Each names the key path: items that could not be built (these make ok
  // false) and items loaded under another name.
  std::vector<std::string> problems;
};

// Replaces the tree's contents with what the key tree holds. `status`
// receives the start-up window's text as loading progresses.
TreeLoadResult loadCommandTree(CCmdTree& tree, const CProfileTree& keys, std::string_view topKey = kCommandsKey,
                               const std::function<void(const std::string&)>& status = {});

// The same from a file's bytes in either form, keys read straight into the
// command tree where the file allows. Throws ArchiveError for a malformed
// file and then leaves `tree` as it was.
TreeLoadResult decodeCommandTree(CCmdTree& tree, std::string_view bytes, const ICodePage& codePage,
                                 const std::function<void(const std::string&)>& status = {});
// The same from the rest of a stream, which the archive form is read from
// piece by piece (the whole file is never held beside the tree). Also
// throws FileError when the stream cannot be read.
TreeLoadResult decodeCommandTree(CCmdTree& tree, std::istream& file, const ICodePage& codePage,
                                 const std::function<void(const std::string&)>& status = {});

// Reads a folder key's values and commands into an existing folder item,
// replacing the commands it had.
TreeLoadResult loadFolderKey(CCmdTree& tree, CCmdItem& folderItem, const CProfileKey& folderKey);

enum class WriteMode { Normal, Export };

void saveCommandTree(const CCmdTree& tree, CProfileTree& keys, std::string_view topKey = kCommandsKey);
// The file's bytes, written straight from the command tree.
std::string encodeCommandTree(const CCmdTree& tree, ProfileEncoding encoding, const ICodePage& codePage);
// Binary form in `codePage`, written piece by piece, replacing the file
// atomically. Throws FileError.
void saveCommandTreeFile(const CCmdTree& tree, const std::filesystem::path& file, const ICodePage& codePage);

void writeCommand(const CCmdArray& command, CProfileKey& parent, WriteMode mode = WriteMode::Normal);
void writeFolder(const CCmdItem& folderItem, CProfileKey& parent, WriteMode mode = WriteMode::Normal);

// "%player.exe%" for any path to player.exe: lets another machine find the
// application again.
std::string exportPlaceholder(std::string_view path);

// Active layouts of commands in folders that remember them.
void storeActiveLayouts(const CCmdTree& tree, IAppProfile& profile, bool clearFirst);
void restoreActiveLayouts(CCmdTree& tree, const IAppProfile& profile);
std::string activeLayoutSection(std::string_view remote, std::string_view folder, std::string_view command);

}  // namespace vexa
