#pragma once
// One run of one command, on its own thread or, in synchronous mode, on the
// caller's. It works only on its own copy of the command and reaches the
// user interface only through messages to the main window.
#include <windows.h>

#include <optional>
#include <string>

#include "vexa/exec/action_walk.h"
#include "vexa/exec/display_request.h"
#include "vexa/exec/win/actions/action_context.h"
#include "vexa/exec/win/application_actions.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/exec/win/run_environment.h"
#include "vexa/winlib/sync.h"

namespace vexa::exec {

class CExecCmd final : public IExecHost, public IActionHost, public CExecJob {
 public:
  CExecCmd(CExecEngine& engine, HWND mainWindow, RunRequest request, RunOptions options);

  // The thread's body: the layout selector's first look, the command's
  // mutex (a second run of the same command is skipped), high priority, the run.
  void ThreadStart();
  // The run itself: resolution, server record, layout selector, actions.
  void Run();
  // On an execution thread: the thread's body, then off the list of running threads.
  void RunJob() override;

  // IExecHost
  bool terminateRequested() override;
  bool waitForTerminate(unsigned ms) override;
  bool cycleInProgress() override;
  void endCycle() override;
  void flashTray() override;
  bool applicationRunning(std::string_view fileName, bool useCachedList) override;
  bool execute(const ActionCall& call, std::string& message) override;
  void status(std::string message) override;
  void showExecuted(const CommandSnapshot& command, uint32_t repeat) override;

  // IActionHost
  HWND mainWindow() override { return hasWindow() ? m_mainWindow : nullptr; }
  void sendKey(unsigned virtualKey, bool up) override;
  HWND findWindow(std::string_view name, bool refresh) override;
  LRESULT request(ActionUiRequest& request) override;
  intptr_t display(DisplayRequest& request) override;

 private:
  bool hasWindow() const { return m_mainWindow && IsWindow(m_mainWindow); }
  intptr_t sendDisplayRequest(DisplayRequest& request);
  // 0 or -1 from the selector: it took the press; a command it chose replaces ours.
  bool askLayoutSelector(std::optional<CommandSnapshot>& command);
  void postServerRecord();
  bool openTerminateEvent();

  CExecEngine& m_engine;
  HWND m_mainWindow;
  RunRequest m_request;
  RunOptions m_options;
  win::CEvent m_terminate;
  CRunEnvironment m_environment;
};

}  // namespace vexa::exec
