#include "vexa/exec/win/exec_engine.h"

#include <string>

#include "vexa/exec/exec_names.h"
#include "vexa/exec/win/exec_cmd.h"

namespace vexa::exec {

namespace {

// Waits for the thread while letting messages sent to this thread through:
// a run may be inside SendMessage to the window this thread owns.
bool waitHandlingSentMessages(HANDLE thread, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    const DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) return true;
    if (r != WAIT_OBJECT_0 + 1) return false;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

RunRequest RunRequest::byName(const CCmdTree& tree, std::string_view remote, std::string_view command,
                              uint32_t repeat) {
  return {CommandVariants::collect(tree, remote, command), repeat, {}};
}

RunRequest RunRequest::direct(CommandSnapshot command, uint32_t repeat) { return {std::move(command), repeat, {}}; }

std::string RunRequest::remoteName() const {
  return isDirect() ? std::get<CommandSnapshot>(target).remote : std::get<CommandVariants>(target).remote();
}

std::string RunRequest::commandName() const {
  return isDirect() ? std::get<CommandSnapshot>(target).command : std::get<CommandVariants>(target).command();
}

CExecEngine::CExecEngine() : CExecEngine(chooseProcessList()) {}

CExecEngine::CExecEngine(std::unique_ptr<IProcessList> processes) : m_processes(std::move(processes)) {
  m_terminate.Create(std::wstring(kExecTerminateEvent.begin(), kExecTerminateEvent.end()), true, false);
}

CExecEngine::~CExecEngine() { Shutdown(); }

bool CExecEngine::StartCommandRun(HWND mainWindow, RunRequest request, const RunOptions& options) {
  if (options.synchronous && !options.forceThread) {
    CExecCmd run(*this, mainWindow, std::move(request), options);
    try {
      run.Run();
    } catch (...) {
      if (!ReportRunFailure(__FILE__, __LINE__, __DATE__)) throw;
    }
    return true;
  }
  return startThread(mainWindow, std::move(request), options);
}

bool CExecEngine::StartCommandRun(HWND mainWindow, CommandSnapshot command, uint32_t repeat, bool forceThread,
                                  bool synchronous) {
  RunOptions options;
  options.forceThread = forceThread;
  options.synchronous = synchronous;
  return StartCommandRun(mainWindow, RunRequest::direct(std::move(command), repeat), options);
}

bool CExecEngine::startThread(HWND mainWindow, RunRequest request, const RunOptions& options) {
  // Listed before it runs, so that an exit right now already sees it.
  return m_workers.Run(std::make_unique<CExecCmd>(*this, mainWindow, std::move(request), options),
                       [this](DWORD id, win::CHandle& thread) { return m_threads.add(id, thread); });
}

bool CExecEngine::StopRuns() {
  if (m_threads.empty()) return true;
  m_terminate.Set();
  // A run leaves the list when it ends; its thread waits for the next press.
  const ULONGLONG deadline = GetTickCount64() + kThreadStopTimeoutMs * m_threads.size();
  while (!m_threads.empty() && GetTickCount64() < deadline) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // a run may wait on this thread
    Sleep(5);
  }
  const bool stopped = m_threads.empty();
  m_terminate.Reset();
  return stopped;
}

bool CExecEngine::ReportRunFailure(const char* file, int line, const char* date) const {
  if (!m_failureSink) return false;
  m_failureSink(std::current_exception(), file, line, date);
  return true;
}

void CExecEngine::Shutdown() {
  m_threads.close();
  // Busy threads end after their run instead of waiting for the next.
  m_workers.BeginStop();
  if (m_threads.empty()) {
    m_workers.Join(kThreadStopTimeoutMs);
    return;
  }
  m_terminate.Set();
  while (auto listed = m_threads.first()) {
    if (listed->thread && !waitHandlingSentMessages(listed->thread.Get(), kThreadStopTimeoutMs)) {
      TerminateThread(listed->thread.Get(), 1);
      WaitForSingleObject(listed->thread.Get(), kThreadStopTimeoutMs);
    }
    m_threads.remove(listed->threadId);
  }
  m_workers.Join(kThreadStopTimeoutMs);
}

}  // namespace vexa::exec
