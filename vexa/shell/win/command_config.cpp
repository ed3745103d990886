#include "vexa/shell/win/command_config.h"

#include "vexa/model/cmd_tree.h"
#include "vexa/presets/config_files.h"
#include "vexa/winlib/system_code_page.h"

namespace vexa::shell {

std::unique_ptr<CCmdTree> loadCommandTree(const std::filesystem::path& file,
                                          const std::function<void(const std::string&)>& reportError) {
  auto tree = std::make_unique<CCmdTree>();
  const LoadResult result = loadCommandPart(file, *tree, win::CSystemCodePage());
  if (!result.ok) {
    reportError(result.error);
    tree = std::make_unique<CCmdTree>();  // nothing half-loaded
  }
  return tree;
}

}  // namespace vexa::shell
