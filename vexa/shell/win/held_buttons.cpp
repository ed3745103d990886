#include "vexa/shell/win/held_buttons.h"

#include "vexa/base/program_messages.h"
#include "vexa/exec/command_resolution.h"
#include "vexa/exec/command_snapshot.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/exec/win/run_environment.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/winlib/system_time.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

namespace {

uint64_t now100ns() { return win::systemTime100ns(); }

bool keyDown(uint32_t hotKey) { return (GetAsyncKeyState(static_cast<int>(hotKey & 0xFFFF)) & 0x8000) != 0; }

}  // namespace

CHeldButtons::CHeldButtons(HWND mainWindow, exec::CExecEngine& engine, StatusSink status)
    : m_main(mainWindow), m_engine(engine), m_status(std::move(status)) {}

CHeldButtons::~CHeldButtons() {
  if (m_main && IsWindow(m_main)) KillTimer(m_main, ProgramMessage::kHoldTimer);
}

void CHeldButtons::SetTree(CCmdTree* tree) {
  m_tree = tree;
  m_trigger.clear();  // presses of another tree's commands end unrun
}

void CHeldButtons::ApplySettings(const Settings& settings) {
  m_settings = settings;
  m_trigger.setRepThreshold(settings.repThresholdMs);
}

std::optional<CHoldTrigger::Hold> CHeldButtons::HoldOf(const CCmdArray& command) const {
  const HoldSetting* setting = m_tree ? m_tree->holds().find(command) : nullptr;
  if (!setting) return std::nullopt;
  return CHoldTrigger::Hold{setting->holdMs, &command.first(), setting->target};
}

std::optional<CHoldTrigger::Hold> CHeldButtons::HoldOf(const std::string& remote, const std::string& command) {
  // Most buttons have no setting in any variant: they pay for one map walk, not a process list.
  if (!m_tree || !m_tree->holds().anyFor(*m_tree, remote, command)) return std::nullopt;
  exec::CRunEnvironment environment(m_engine.Processes(), m_engine.ProcessNames(), false);
  const auto resolved = resolveCommand(*m_tree, remote, command, environment);
  if (!resolved || !resolved->command) return std::nullopt;
  return HoldOf(*resolved->command);
}

bool CHeldButtons::OnRecord(const std::string& remote, const std::string& command, const Starter& start) {
  if (m_trigger.empty() && (!m_tree || m_tree->holds().empty())) return false;
  const uint64_t now = now100ns();
  Poll(now, start);
  const auto button = CHoldTrigger::Button::remoteButton(remote, command);
  if (m_trigger.tracks(button)) {
    if (const auto step = m_trigger.repeat(button, now, m_settings.typematicDelayMs)) Run(*step, start);
  } else if (const auto hold = HoldOf(remote, command)) {
    m_trigger.press(button, *hold, now);
  } else {
    return false;
  }
  ArmTimer(now);
  return true;
}

bool CHeldButtons::OnHotKeyEvent(uint32_t hotKey, const Starter& start) {
  if (m_trigger.empty()) return false;
  const uint64_t now = now100ns();
  Poll(now, start);
  const auto button = CHoldTrigger::Button::key(hotKey);
  if (!m_trigger.tracks(button)) return false;
  if (const auto step = m_trigger.repeat(button, now, m_settings.typematicDelayMs)) Run(*step, start);
  ArmTimer(now);
  return true;
}

bool CHeldButtons::PressHotKey(uint32_t hotKey, const CCmdArray& command) {
  const auto hold = HoldOf(command);
  const auto button = CHoldTrigger::Button::key(hotKey);
  if (!hold || m_trigger.tracks(button)) return false;
  const uint64_t now = now100ns();
  m_trigger.press(button, *hold, now);
  ArmTimer(now);
  return true;
}

bool CHeldButtons::OnTimer(UINT_PTR id, const Starter& start) {
  if (id != ProgramMessage::kHoldTimer) return false;
  KillTimer(m_main, ProgramMessage::kHoldTimer);
  const uint64_t now = now100ns();
  Poll(now, start);
  ArmTimer(now);
  return true;
}

void CHeldButtons::Poll(uint64_t now, const Starter& start) {
  for (const auto& step : m_trigger.poll(now, keyDown)) Run(step, start);
}

void CHeldButtons::Run(const CHoldTrigger::Step& step, const Starter& start) {
  if (step.run == CHoldTrigger::Run::Long) {
    RunHeld(step);
    return;
  }
  if (!step.button.isHotKey()) {
    start(step.button.remote, step.button.command, 0);
    return;
  }
  // A hot key names its command by the object it found.
  const CCmdItem* item = m_tree ? m_tree->findByObject(*static_cast<const CCmdArray*>(step.hold.command)) : nullptr;
  if (item) start(item->remote().label(), item->label(), 0);
}

void CHeldButtons::RunHeld(const CHoldTrigger::Step& step) {
  if (!m_tree) return;
  // Either command may have been deleted while the button was down.
  const auto* target = static_cast<const CCmdArray*>(step.hold.target);
  const auto* pressed = static_cast<const CCmdArray*>(step.hold.command);
  const CCmdItem* targetItem = m_tree->findByObject(*target);
  const CCmdItem* pressedItem = m_tree->findByObject(*pressed);
  if (!targetItem || !pressedItem) return;
  const std::string remote = targetItem->remote().label();
  exec::RunRequest request = exec::RunRequest::direct(
      snapshotOf(*targetItem->command()->activeLayout(), m_tree->appFolderOf(*targetItem->command()), remote),
      step.repeat);
  request.heldFrom = pressedItem->label();
  if (m_status)
    m_status(win::toWide(remote) + L": " + win::toWide(pressedItem->label()) + L" held: " +
             win::toWide(targetItem->label()) +
             (step.repeat > 0 ? L" (" + std::to_wstring(step.repeat) + L")" : std::wstring()));
  exec::RunOptions options;
  options.synchronous = m_settings.synchronous;
  m_engine.StartCommandRun(m_main, std::move(request), options);
}

void CHeldButtons::ArmTimer(uint64_t now) {
  const auto next = m_trigger.nextDeadline(now);
  if (!next) {
    KillTimer(m_main, ProgramMessage::kHoldTimer);
    return;
  }
  const uint64_t waitMs = *next > now ? (*next - now + 9999) / 10000 : 0;
  SetTimer(m_main, ProgramMessage::kHoldTimer, static_cast<UINT>(std::max<uint64_t>(waitMs, USER_TIMER_MINIMUM)),
           nullptr);
}

}  // namespace vexa::shell
