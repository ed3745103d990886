#include "vexa/shell/win/shutdown_countdown.h"

#include "vexa/base/program_messages.h"
#include "vexa/exec/actions/shutdown_rules.h"
#include "vexa/shell/win/remote_shutdown_window.h"

namespace vexa::shell {

CShutdownCountdown::CShutdownCountdown(HWND mainWindow, exec::CActionServices& services, StatusSink status,
                                       DisplaySink display, EndProgram end, EndProgram quit)
    : m_main(mainWindow),
      m_services(services),
      m_status(std::move(status)),
      m_display(std::move(display)),
      m_end(std::move(end)),
      m_quit(std::move(quit)) {}

CShutdownCountdown::~CShutdownCountdown() {
  stopTick();
  closeWindow();
}

unsigned CShutdownCountdown::OnRequest(unsigned seconds, uint32_t flags) {
  m_type = flags & kShutdownTypeMask;
  m_requested = seconds;
  stopTick();
  closeWindow();
  const bool noOsd = (flags & kShutdownNoOsd) != 0;
  // Without a display to show again, a press while counting steps the countdown.
  if (m_displayShowing || m_countdown == 0 || noOsd || m_noDisplay)
    m_countdown = stepShutdownCountdown(m_countdown, m_requested);
  if (m_status) m_status(shutdownRequestStatus(m_type, m_countdown));
  bool shown = false;
  // A press past the longest countdown shows "OFF" on the display that is up.
  if (!noOsd && (m_countdown != 0 || m_displayShowing) && m_display) {
    DisplayRequest request;
    request.code = DisplayRequest::kShutdown;
    request.value = static_cast<int32_t>(m_countdown);
    request.repeat = m_requested;
    // "Reboot 15 min", "Reboot OFF": the name the status line uses too.
    request.text = std::string(shutdownStatusName(m_type));
    shown = m_display(request);
    m_noDisplay = !shown;
  }
  // With the display up, the countdown starts when it closes.
  if (!shown && m_countdown != 0) startTick();
  return m_countdown;
}

void CShutdownCountdown::OnDisplayClosed(bool goOn) {
  m_displayShowing = false;
  if (goOn && m_countdown != 0) {
    startTick();
  } else {
    stopTick();
    m_countdown = 0;
  }
}

void CShutdownCountdown::OnTick() {
  // A tick already queued when the countdown was aborted must not end the session.
  if (!m_ticking || m_countdown == 0) return;
  if (--m_countdown == 0) {
    closeWindow();
    stopTick();
    if (m_end) m_end();
    // The program quits whether or not the system agrees to end the session.
    m_services.system->exitWindows(m_type);
    if (m_quit) m_quit();
    return;
  }
  if (m_countdown <= m_requested) showWindow();
  if (m_status && shutdownTickShowsStatus(m_countdown)) m_status(shutdownTickStatus(m_type, m_countdown));
}

void CShutdownCountdown::Abort() {
  stopTick();
  m_countdown = 0;
  closeWindow();
  if (m_status) m_status(std::string());
}

void CShutdownCountdown::startTick() {
  if (SetTimer(m_main, ProgramMessage::kShutdownTickTimer, 1000, nullptr)) m_ticking = true;
}

void CShutdownCountdown::stopTick() {
  if (m_ticking) KillTimer(m_main, ProgramMessage::kShutdownTickTimer);
  m_ticking = false;
}

HWND CShutdownCountdown::Window() const { return m_window ? m_window->Handle() : nullptr; }

void CShutdownCountdown::showWindow() {
  if (m_window && m_window->IsCreated()) {
    m_window->Update(m_countdown);
    return;
  }
  auto window = std::make_unique<CRemoteShutdownWindow>([this] { Abort(); });
  m_window = window->Open(m_main, shutdownWindowText(m_type), m_countdown) ? std::move(window) : nullptr;
}

void CShutdownCountdown::closeWindow() { m_window.reset(); }

}  // namespace vexa::shell
