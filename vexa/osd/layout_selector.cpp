#include "vexa/osd/layout_selector.h"

#include "vexa/base/strings.h"

namespace vexa::osd {

namespace {

bool samePress(const SelectorPress& press, const SelectorChoice& choice) {
  return press.identity ? press.identity == choice.identity : iequals(press.name, choice.name);
}

}  // namespace

SelectorStep CLayoutSelector::consume(uint32_t timerMs) const {
  SelectorStep step;
  step.consumed = true;
  step.timerMs = timerMs;
  return step;
}

SelectorStep CLayoutSelector::press(const SelectorPress& press) {
  return m_options.mode == SelectorMode::SingleButton ? pressSingle(press) : pressExtra(press);
}

SelectorStep CLayoutSelector::pressSingle(const SelectorPress& press) {
  if ((m_state == State::Holding || m_state == State::Shown) && m_choice && samePress(press, *m_choice)) {
    // Holding the button shows the selector; each new press moves on.
    if (m_state == State::Holding) {
      m_state = State::Shown;
      if (press.repeat == 0) selectNext();
    } else if (press.repeat == 0) {
      selectNext();
    }
    return consume(m_options.timeoutMs);
  }
  if (!press.identity) return {};  // the run asks again once it knows the command
  const auto command = m_commands.find(press.identity);
  if (!command || command->layouts.size() < 2) return {};
  if (press.repeat > 0) {
    // A repeat whose hold already ended: repeats never run a multi-layout command here.
    SelectorStep step;
    step.consumed = true;
    return step;
  }
  return hold(press, *command);
}

SelectorStep CLayoutSelector::hold(const SelectorPress& press, const SelectorCommand& command) {
  SelectorStep step = consume(m_options.typematicDelayMs + kHoldExtraMs);
  // Another command's choice was still pending: it runs now rather than being lost.
  if (m_state != State::Idle) step.runNow = validChoice();
  select(press.identity, command, command.active);
  m_state = State::Holding;
  return step;
}

SelectorStep CLayoutSelector::pressExtra(const SelectorPress& press) {
  if (!m_options.trigger.empty() && iequals(press.name, m_options.trigger)) {
    if (m_state == State::Idle) {
      m_state = State::Triggered;
      m_choice.reset();
    }
    return consume(m_options.timeoutMs);
  }
  if (!shown()) return {};
  if (m_choice && samePress(press, *m_choice)) {
    if (press.repeat == 0) selectNext();
    return consume(m_options.timeoutMs);
  }
  if (!press.identity) return {};
  const auto command = m_commands.find(press.identity);
  if (!command || command->layouts.size() < 2) return {};
  select(press.identity, *command, command->active);
  m_state = State::Shown;
  return consume(m_options.timeoutMs);
}

void CLayoutSelector::select(const void* identity, const SelectorCommand& command, size_t layout) {
  m_choice = SelectorChoice{identity, command.name, layout};
}

bool CLayoutSelector::selectNext() {
  if (!m_choice) return false;
  const auto command = m_commands.find(m_choice->identity);
  if (!command || command->layouts.empty()) return false;
  m_choice->layout = (m_choice->layout + 1) % command->layouts.size();
  return true;
}

std::optional<SelectorChoice> CLayoutSelector::validChoice() const {
  if (!m_choice) return std::nullopt;
  // The command may have been deleted, renamed or reloaded while the selector waited.
  const auto command = m_commands.find(m_choice->identity);
  if (!command || !iequals(command->name, m_choice->name) || m_choice->layout >= command->layouts.size())
    return std::nullopt;
  return m_choice;
}

std::optional<SelectorChoice> CLayoutSelector::timerFired() {
  auto choice = m_state == State::Idle ? std::nullopt : validChoice();
  drop();
  return choice;
}

void CLayoutSelector::drop() {
  m_state = State::Idle;
  m_choice.reset();
}

SelectorView CLayoutSelector::view() const {
  SelectorView view;
  if (m_state == State::Triggered && !m_choice) {
    view.mainText = kTriggerText;
    return view;
  }
  const auto choice = validChoice();
  if (!choice) return view;
  const auto command = m_commands.find(choice->identity);
  const SelectorLayout& layout = command->layouts[choice->layout];
  view.layoutName = layout.name;
  view.mainText = command->name + ":  " + layout.name;
  for (size_t i = 0; i < layout.actions.size() && i < kActionLines; ++i) view.lines.push_back(layout.actions[i]);
  return view;
}

}  // namespace vexa::osd
