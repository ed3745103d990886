#pragma once
// A real main window with the program's modules attached, as start-up makes it.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/quiet_settings.h"
#include "support/win/pump.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/shell/win/program_modules.h"

namespace vexa::test {

// A command whose one action fails at once and harms nothing.
inline std::unique_ptr<CCmdArray> quietCommand(const char* name, uint32_t hotKey = 0) {
  auto command = std::make_unique<CCmdArray>(name);
  auto action = std::make_unique<CMD>();
  action->name = "A";
  action->typeName = std::string(kExecuteApplication);
  action->fileName = "n/a";
  command->appendAction(std::move(action));
  if (hotKey) command->setHotKey(hotKey);
  return command;
}

class CModulesFixture {
 public:
  explicit CModulesFixture(shell::ModuleLibraries libraries, ProgramSettings settings = settingsWithoutExitQuestion()) {
    const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    created = window.Create(icon, icon);
    window.SetProgramSettings(settings);
    window.SetCommandTree(&tree);
    modules = std::make_unique<shell::CProgramModules>(window, std::move(libraries));
    window.SetPrompt(&prompt);
  }
  ~CModulesFixture() {
    modules.reset();
    window.SetCommandTree(nullptr);
    window.SetCommandStarter(nullptr);
    window.SetStartObserver(nullptr);
    window.Exit();
    window.SetPrompt(nullptr);
    // The window's end posts WM_QUIT: left queued it would end the next modal dialog at once.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  CCmdTree tree;
  shell::CMainWindow window;
  std::unique_ptr<shell::CProgramModules> modules;
  std::vector<std::wstring> boxes;
  // The program's boxes, recorded; questions are answered No.
  win::CPromptFunction prompt{[this](const std::wstring& text, const std::wstring&, UINT type) {
    boxes.push_back(text);
    return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDNO;
  }};
  bool created = false;
};

}  // namespace vexa::test
