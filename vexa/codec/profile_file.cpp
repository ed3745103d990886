#include "vexa/codec/profile_file.h"

#include "vexa/base/file_io.h"

namespace vexa {

void loadProfileFile(const std::filesystem::path& file, CProfileTree& tree, const ICodePage& codePage) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) {
    CProfileTree empty;
    tree.replaceContents(empty);
    return;
  }
  CProfileTree loaded;
  readProfile(readFileBytes(file), loaded, codePage);
  tree.replaceContents(loaded);
}

void saveProfileFile(const CProfileTree& tree, const std::filesystem::path& file, ProfileEncoding encoding,
                     const ICodePage& codePage) {
  writeFileAtomically(file, writeProfile(tree, encoding, codePage));
}

}  // namespace vexa
