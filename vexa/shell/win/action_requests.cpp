#include "vexa/shell/win/action_requests.h"

#include <string_view>

#include "vexa/base/program_messages.h"
#include "vexa/exec/win/exec_engine.h"

namespace vexa::shell {

CActionRequests::CActionRequests(HWND mainWindow, exec::CExecEngine& engine, Hooks hooks)
    : m_main(mainWindow),
      m_engine(engine),
      m_hooks(std::move(hooks)),
      m_shutdown(mainWindow, engine.Services(),
                 [this](const std::string& text) {
                   if (m_hooks.status) m_hooks.status(text);
                 },
                 m_hooks.shutdownDisplay, m_hooks.endProgram, [] { PostQuitMessage(0); }) {}

CActionRequests::~CActionRequests() {
  for (UINT id : {ProgramMessage::kSwitchBackTimer, ProgramMessage::kCycleTimer, ProgramMessage::kMouseStopTimer})
    KillTimer(m_main, id);
}

void CActionRequests::restartTimer(UINT id, UINT ms) { SetTimer(m_main, id, ms, nullptr); }

std::optional<LRESULT> CActionRequests::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case ProgramMessage::kFindWindow: return onFindWindow(wp != 0, reinterpret_cast<const char*>(lp));
    case ProgramMessage::kActionRequest:
      return lp ? onRequest(*reinterpret_cast<const ActionUiRequest*>(lp)) : 0;
    case ProgramMessage::kShutdown:
      return static_cast<LRESULT>(m_shutdown.OnRequest(static_cast<unsigned>(wp), static_cast<uint32_t>(lp)));
    case WM_TIMER:
      switch (wp) {
        case ProgramMessage::kSwitchBackTimer:
          KillTimer(m_main, wp);
          switchBack();
          return 0;
        case ProgramMessage::kCycleTimer:
          KillTimer(m_main, wp);
          if (m_engine.CycleFlag() && m_hooks.endCycle) m_hooks.endCycle();
          return 0;
        case ProgramMessage::kMouseStopTimer:
          KillTimer(m_main, wp);
          m_engine.Services().mouse.stop();
          return 0;
        case ProgramMessage::kShutdownTickTimer:
          m_shutdown.OnTick();
          return 0;
      }
      break;
  }
  return std::nullopt;
}

LRESULT CActionRequests::onFindWindow(bool refresh, const char* name) {
  if (!name || !*name) return 0;
  const bool children = std::string_view(name).find(kChildSeparator) != std::string_view::npos;
  if (refresh || m_windows.empty() || (children && !m_windows.hasChildren())) m_windows.refresh(false, children);
  HWND found = m_windows.find(name);
  // A window opened since the last refresh: one more look before giving up.
  if (!found && !refresh) {
    m_windows.refresh(false, children);
    found = m_windows.find(name);
  }
  return reinterpret_cast<LRESULT>(found);
}

LRESULT CActionRequests::onRequest(const ActionUiRequest& request) {
  switch (request.kind) {
    case ActionUiRequest::kTemporaryActivation:
      // The first activation of a series decides where the focus goes back to.
      if (!m_switchBack)
        m_switchBack = SwitchBack{reinterpret_cast<HWND>(request.window), reinterpret_cast<HWND>(request.previous),
                                  request.wasMinimised, request.wasHidden};
      restartTimer(ProgramMessage::kSwitchBackTimer, kSwitchBackMs);
      return 1;
    case ActionUiRequest::kCycleTimer: restartTimer(ProgramMessage::kCycleTimer, kCycleMs); return 1;
    case ActionUiRequest::kMouseTimer: restartTimer(ProgramMessage::kMouseStopTimer, kMouseStopMs); return 1;
    case ActionUiRequest::kHotKeys:
      if (m_hooks.suspendHotKeys) m_hooks.suspendHotKeys(!request.on);
      return 1;
  }
  return 0;
}

void CActionRequests::switchBack() {
  const auto back = std::exchange(m_switchBack, std::nullopt);
  if (!back || m_leaveFocus) return;
  if (back->target && IsWindow(back->target)) {
    if (back->wasHidden) ShowWindowAsync(back->target, SW_HIDE);
    else if (back->wasMinimised) ShowWindowAsync(back->target, SW_MINIMIZE);
  }
  const HWND previous = back->previous;
  if (!previous || !IsWindow(previous) || previous == back->target) return;
  const DWORD front = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  const DWORD self = GetCurrentThreadId();
  const bool joined = front && front != self && AttachThreadInput(self, front, TRUE);
  SetForegroundWindow(previous);
  if (joined) AttachThreadInput(self, front, FALSE);
}

}  // namespace vexa::shell
