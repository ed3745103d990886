#pragma once
// The execution engine as the main window owns it: starting runs, the list
// of running threads, and stopping them at exit.
//
// For the main window:
//  - Build the request on the user-interface thread: RunRequest::byName
//    for received codes, hot keys and start-up commands (the variants of the
//    command are copied, the running applications are tested later on the
//    run's thread); RunRequest::direct with snapshotOf(...) for a command the
//    layout selector chose or the user runs from the tree.
//  - StartCommandRun returns at once unless the run is synchronous.
//  - Messages the runs send or post to the main window, and who frees what:
//      0x7FFF code 92   lParam: new[] UTF-8 text (at most 500 bytes, whole
//                       characters). The main window takes it and frees it
//                       with delete[]. Not code 100: plug-ins' texts there
//                       are in the ANSI code page.
//      0x7FFF code 98   lParam: DisplayRequest* (display_request.h), sent;
//                       owned by the run, valid during the call only. Code
//                       301 (sent before resolution when RunOptions says the
//                       selector is open, for the trigger command, and once
//                       before the actions) answers 0 or -1 when the layout
//                       selector took the press and any other value
//                       otherwise: while the selector is closed it must
//                       answer nonzero, or no command runs. It may set
//                       `replacement`. Code 401 reports an executed command.
//      0x468            wParam: ServerRecord* (exec_messages.h), posted; the
//                       main window deletes it.
//      0x46C            posted: flash the tray icon (busy icon, timer 1).
//      0x46D            lParam: SwitchLayoutRequest*, sent, owned by the run;
//                       answer nonzero when switched.
//      0x46B            wParam: refresh flag; lParam: UTF-8 window name,
//                       sent; answer the window or 0.
//      0x470            lParam: ActionUiRequest*, sent, owned by the run:
//                       timers 2, 10, 11 and the hot keys (exec_messages.h).
//      0x466            posted: the shutdown request (countdown, flags).
//      0x467            sent: synthesise one key (wParam key, lParam 0/2).
//    Objects in these records (CommandSnapshot::identity) are identities
//    only: look them up in the tree before use.
//  - Shutdown() at exit; Busy() before asking whether to stop the queued
//    commands.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <variant>

#include "vexa/exec/command_snapshot.h"
#include "vexa/exec/command_variants.h"
#include "vexa/exec/win/actions/action_context.h"
#include "vexa/exec/win/exec_thread_list.h"
#include "vexa/exec/win/exec_workers.h"
#include "vexa/exec/win/priority_boost.h"
#include "vexa/exec/win/process_list.h"
#include "vexa/exec/win/process_name_cache.h"
#include "vexa/winlib/failure_sink.h"
#include "vexa/winlib/sync.h"

namespace vexa::exec {

inline constexpr DWORD kThreadStopTimeoutMs = 3000;

struct RunRequest {
  // By name: the command's variants, resolved by the run. Direct: the
  // command itself, no resolution.
  std::variant<CommandVariants, CommandSnapshot> target;
  uint32_t repeat = 0;
  // The command whose button was held, when this run is its held command:
  // the display names both.
  std::string heldFrom;

  static RunRequest byName(const CCmdTree& tree, std::string_view remote, std::string_view command, uint32_t repeat);
  static RunRequest direct(CommandSnapshot command, uint32_t repeat);

  bool isDirect() const { return std::holds_alternative<CommandSnapshot>(target); }
  std::string remoteName() const;
  std::string commandName() const;
};

struct RunOptions {
  bool forceThread = false;
  bool synchronous = false;         // "Disable multithreaded execution"
  bool layoutSelectorOpen = false;  // the OSD shows the layout selector
  std::string selectorTrigger;      // "Extra button mode.  Use command"
};

class CExecEngine {
 public:
  CExecEngine();
  // With a chosen way of enumerating processes (tests use both).
  explicit CExecEngine(std::unique_ptr<IProcessList> processes);
  ~CExecEngine();
  CExecEngine(const CExecEngine&) = delete;
  CExecEngine& operator=(const CExecEngine&) = delete;

  // Starts a run on its own thread, or runs it here when `synchronous` is
  // set and no thread is forced. False when no run was started (after
  // Shutdown, or when no thread could be created).
  bool StartCommandRun(HWND mainWindow, RunRequest request, const RunOptions& options);
  bool StartCommandRun(HWND mainWindow, CommandSnapshot command, uint32_t repeat, bool forceThread, bool synchronous);

  // Signals "VexaExecTerminate", waits for each running thread up to 3000 ms
  // (handling messages sent to this thread meanwhile, so that a run blocked
  // in SendMessage to the main window can finish) and stops it by force
  // otherwise. No run starts afterwards.
  void Shutdown();
  // Stops the runs in progress ("Do you want to stop all queued commands?"):
  // signals "VexaExecTerminate" and waits up to 3000 ms per run for them to
  // end; presses after it run as before. False when a run did not end in time.
  bool StopRuns();
  bool Busy() const { return !m_threads.empty(); }

  // Where a run that throws is reported; the run is abandoned and the next
  // press runs as usual. Without one the exception goes on up (and ends the program).
  void SetFailureSink(win::FailureSink sink) { m_failureSink = std::move(sink); }
  // Inside a catch block: hands the exception to the sink; false without one.
  bool ReportRunFailure(const char* file, int line, const char* date) const;

  // The "Cycle through windows" flag; the main window's timer 10 clears it.
  std::atomic<bool>& CycleFlag() { return m_services.cycle; }
  // What the actions keep between runs; tests replace its system actions and mixer.
  CActionServices& Services() { return m_services; }
  CProcessNameCache& ProcessNames() { return m_processNames; }
  IProcessList& Processes() { return *m_processes; }
  CExecThreadList& Threads() { return m_threads; }
  CPriorityBoost& Priority() { return m_priority; }

 private:
  bool startThread(HWND mainWindow, RunRequest request, const RunOptions& options);
  // Threads kept waiting for the next press.
  static constexpr size_t kWaitingThreads = 2;

  std::unique_ptr<IProcessList> m_processes;
  CProcessNameCache m_processNames;
  CExecThreadList m_threads;
  CPriorityBoost m_priority;
  CActionServices m_services;
  win::CEvent m_terminate;
  win::FailureSink m_failureSink;
  CExecWorkers m_workers{kWaitingThreads};
};

}  // namespace vexa::exec
