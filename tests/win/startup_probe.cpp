// The Windows half of the start-up benchmark (bench/startup_bench): builds a
// configuration of COMMANDS commands, saves it as the program would, then
// times RUNS start-ups from reading the file to a main window that shows the
// tree and answers messages. Prints one line per run: milliseconds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "support/quiet_settings.h"
#include "support/temp_folder.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/presets/current_config.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/message_loop.h"
#include "vexa/winlib/system_code_page.h"

namespace {

using namespace vexa;

// Remotes of 100 commands, each with two layouts of three actions.
std::unique_ptr<CCmdTree> largeTree(int commands) {
  auto owned = std::make_unique<CCmdTree>();
  CCmdTree& tree = *owned;
  CCmdItem* remote = nullptr;
  for (int i = 0; i < commands; ++i) {
    if (i % 100 == 0) remote = &tree.insertRemote("Remote " + std::to_string(i / 100));
    auto command = std::make_unique<CCmdArray>("Command " + std::to_string(i));
    command->addLayout("Second");
    for (CCmdArray* layout = command.get(); layout; layout = layout->next())
      for (int a = 0; a < 3; ++a) {
        auto action = std::make_unique<CMD>();
        action->name = "Action " + std::to_string(a);
        action->typeName = "Execute application";
        action->fileName = "C:\\Program Files\\Player\\player.exe";
        layout->appendAction(std::move(action));
      }
    tree.insertCommand(*remote, std::move(command));
  }
  return owned;
}

double startOnce(const std::filesystem::path& file, HICON icon) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const win::CSystemCodePage codePage;
  CCurrentConfig config(file, codePage);
  CCmdTree tree;
  config.load(tree);
  shell::CMainWindow window;
  if (!window.Create(icon, icon)) return -1;
  window.SetProgramSettings(test::settingsWithoutExitQuestion());
  window.SetCommandTree(&tree);
  window.Open();
  win::PumpPendingMessages();
  SendMessageW(window.Handle(), WM_NULL, 0, 0);
  QueryPerformanceCounter(&end);
  window.SetCommandTree(nullptr);
  window.Exit();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  const int commands = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  test::CTempFolder folder;
  const auto file = folder.path() / "current.vcp";
  {
    const win::CSystemCodePage codePage;
    CCurrentConfig(file, codePage).save(*largeTree(commands));
  }
  const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  for (int i = 0; i < runs; ++i) {
    std::printf("%.3f\n", startOnce(file, icon));
    std::fflush(stdout);
  }
  return 0;
}
