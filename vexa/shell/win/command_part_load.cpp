#include "vexa/shell/win/command_part_load.h"

#include "vexa/model/cmd_tree.h"
#include "vexa/presets/config_files.h"
#include "vexa/presets/current_config.h"
#include "vexa/presets/holds_file.h"
#include "vexa/shell/win/device_part.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

bool loadCommandPartIntoProgram(CMainWindow& window, CCmdTree& tree, device::CDevice& host,
                                const std::filesystem::path& file, const ICodePage& codePage,
                                const std::function<void(const std::string&)>& tellProblems) {
  // The tree view and the editor's pages point at the items the load frees.
  window.SetCommandTree(nullptr);
  const LoadResult result = loadCommandPart(file, tree, codePage);
  // The held-button settings come with the commands they name; a file that
  // could not be read left the tree, and so its settings, as they were.
  HoldsLoadResult holds;
  if (result.error.empty()) holds = loadHolds(presetHoldsFile(file), tree, codePage);
  window.SetCommandTree(&tree);
  window.SetApplyReason(CMainWindow::ApplyReason::CommandTree, true);
  if (result.legacy && selectLegacyPlugIn(host, result.legacyPlugIn, window.Handle())) window.RefreshDevicePage();
  // What loaded stays; the user hears about the rest.
  if (const std::string problems = loadProblemsMessage(file, result); !problems.empty() && tellProblems)
    tellProblems(problems);
  if (const std::string ignored = holdsIgnoredStatus(presetHoldsFile(file), holds); !ignored.empty())
    window.ShowStatusText(win::toWide(ignored));
  return result.ok;
}

}  // namespace vexa::shell
