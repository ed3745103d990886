#pragma once
// The start-up macro: every command of the remote "Startup Macro", in order,
// each on an execution thread of its own, at the end of start-up.
#include <windows.h>

namespace vexa {
class CCmdTree;
namespace exec {
class CExecEngine;
}
}  // namespace vexa

namespace vexa::shell {

// How many runs started; their messages go to `mainWindow`.
int runStartupMacro(const CCmdTree& tree, exec::CExecEngine& engine, HWND mainWindow);

}  // namespace vexa::shell
