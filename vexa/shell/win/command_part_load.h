#pragma once
// A preset's command part loaded into the running program.
#include <filesystem>
#include <functional>
#include <string>

#include "vexa/base/code_page.h"

namespace vexa {
class CCmdTree;
namespace device {
class CDevice;
}
}  // namespace vexa

namespace vexa::shell {

class CMainWindow;

// Replaces `tree` with the file's commands. The window's editor lets go of
// the old items before they go; a legacy file's "PlugIn" is selected and
// started; `tellProblems` hears what could not be loaded, once the window
// shows the new tree. False when the file could not be read.
bool loadCommandPartIntoProgram(CMainWindow& window, CCmdTree& tree, device::CDevice& host,
                                const std::filesystem::path& file, const ICodePage& codePage,
                                const std::function<void(const std::string&)>& tellProblems);

}  // namespace vexa::shell
