#include "vexa/shell/win/command_config.h"

#include "vexa/model/cmd_tree.h"
#include "vexa/presets/current_config.h"

namespace vexa::shell {

LoadResult loadCurrentConfig(CCurrentConfig& config, CCmdTree& tree,
                             const std::function<void(const std::string&)>& report) {
  LoadResult result = config.load(tree);
  if (const std::string message = loadProblemsMessage(config.file(), result); !message.empty()) report(message);
  return result;
}

bool saveCurrentConfig(CCurrentConfig& config, const CCmdTree& tree,
                       const std::function<bool(const std::string&)>& askYesNo) {
  if (config.saveReplacesProblemFile() && !askYesNo(replaceProblemFileQuestion(config.file(), config.backupFile())))
    return false;
  config.save(tree);
  return true;
}

}  // namespace vexa::shell
