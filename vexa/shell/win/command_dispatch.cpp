#include "vexa/shell/win/command_dispatch.h"

#include <vector>

#include "vexa/base/program_options.h"
#include "vexa/base/strings.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/device/win/device.h"
#include "vexa/exec/display_request.h"
#include "vexa/exec/exec_messages.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/app_folder.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/osd/win/osd.h"
#include "vexa/osd/win/osd_settings_store.h"
#include "vexa/shell/win/action_requests.h"
#include "vexa/shell/win/held_buttons.h"
#include "vexa/winlib/system_time.h"
#include "vexa/winlib/unicode.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/base/program_messages.h"

namespace vexa::shell {

namespace {

uint64_t now100ns() { return win::systemTime100ns(); }

}  // namespace

DispatchSettings DispatchSettings::fromRegistry() {
  DispatchSettings s;
  win::CRegKey key;
  if (!key.Open(HKEY_CURRENT_USER, device::kProgramRegistryKey)) return s;
  if (auto v = key.QueryDword(L"RepThreshold")) s.repThresholdMs = *v;
  if (auto v = key.QueryDword(L"TypematicDelay")) s.typematicDelayMs = *v;
  const ProgramOptions options = optionsFromWord(key.QueryDword(L"Options"));
  s.synchronous = options.has(ProgramOptions::kDisableMultithreading);
  s.leaveFocus = options.has(ProgramOptions::kLeaveFocusAfterKeystroke);
  s.osd = osd::win::loadOsdSettings(win::CSystemCodePage());
  return s;
}

DispatchSettings DispatchSettings::from(const ProgramSettings& settings) {
  DispatchSettings s;
  s.repThresholdMs = settings.repThresholdMs;
  s.typematicDelayMs = settings.typematicDelayMs;
  s.synchronous = settings.options.has(ProgramOptions::kDisableMultithreading);
  s.leaveFocus = settings.options.has(ProgramOptions::kLeaveFocusAfterKeystroke);
  return s;
}

CCommandDispatch::CCommandDispatch(HWND mainWindow, DispatchSettings settings, StatusSink status)
    : m_main(mainWindow), m_status(std::move(status)), m_engine(std::make_unique<exec::CExecEngine>()) {
  osd::win::OsdHooks hooks;
  // The layout the selector chose runs as it is: asking the selector again would hold it back again.
  hooks.run = [this](const CommandSnapshot& command) {
    m_engine->StartCommandRun(m_main, command, 0, false, m_settings.synchronous);
  };
  hooks.status = [this](const std::wstring& text) {
    if (m_status) m_status(text);
  };
  // The speaker is crossed out when the line is muted now, whatever the request.
  hooks.lineMuted = [this](const std::string& line) {
    IMixer* mixer = m_engine->Services().mixer.get();
    int64_t muted = 0;
    return mixer && mixer->adjust(MixerKind::Mute, 0, line, MixerDestination::Playback, muted) && muted != 0;
  };
  hooks.programIcon = reinterpret_cast<HICON>(GetClassLongPtrW(mainWindow, GCLP_HICON));
  m_osd = std::make_unique<osd::win::COsd>(std::move(hooks));
  CActionRequests::Hooks actionHooks;
  actionHooks.status = [this](const std::string& text) {
    if (m_status) m_status(win::toWide(text));
  };
  actionHooks.suspendHotKeys = [this](bool suspended) { SuspendHotKeys(suspended); };
  actionHooks.endCycle = [this] { EndCycle(); };
  actionHooks.shutdownDisplay = [this](DisplayRequest& request) { return ShowShutdownDisplay(request); };
  actionHooks.endProgram = [this] {
    if (m_endProgram)
      m_endProgram();
    else
      m_engine->Shutdown();
  };
  m_actions = std::make_unique<CActionRequests>(mainWindow, *m_engine, std::move(actionHooks));
  m_held = std::make_unique<CHeldButtons>(mainWindow, *m_engine, [this](const std::wstring& text) {
    if (m_status) m_status(text);
  });
  ApplySettings(settings);
}

void CCommandDispatch::ApplySettings(const DispatchSettings& settings) {
  m_settings = settings;
  m_filter.setRepThreshold(m_settings.repThresholdMs);
  m_held->ApplySettings({m_settings.repThresholdMs, m_settings.typematicDelayMs, m_settings.synchronous});
  m_osd->ApplySettings(m_settings.osd, m_settings.typematicDelayMs);
  m_actions->SetLeaveFocus(m_settings.leaveFocus);
  m_engine->Services().typematicDelayMs = m_settings.typematicDelayMs;
  m_engine->Services().osdTimeoutSeconds = m_settings.osd.timeoutSeconds;
}

void CCommandDispatch::SetTree(CCmdTree* tree) {
  m_tree = tree;
  m_osd->SetTree(tree);
  m_held->SetTree(tree);
}

CCommandDispatch::~CCommandDispatch() {
  m_held.reset();
  m_engine->Shutdown();
  m_actions.reset();
}

void CCommandDispatch::OnCommandRecord(const std::string& remote, const std::string& command, int repeat,
                                       const Starter& start, LPARAM record) {
  const auto decision = m_filter.onRecord(remote, command, repeat, now100ns(), m_settings.typematicDelayMs);
  if (decision.verdict == CRepeatFilter::Verdict::Dropped) return;
  const bool capturing = m_capture && IsWindow(m_capture);
  // A held button keeps its own count: the filter only learns that it was pressed.
  if (!capturing && m_held->OnRecord(remote, command, start)) return;
  if (decision.verdict != CRepeatFilter::Verdict::Accepted) return;
  if (auto* r = reinterpret_cast<abi::CommandRecord*>(record)) r->repeatCount = decision.repeat;
  if (decision.repeat == 0 && capturing) {
    SendMessageW(m_capture, abi::kVexaMessage, abi::MainCode::kCommand, record);
    return;
  }
  start(remote, command, decision.repeat);
}

bool CCommandDispatch::OnTimer(UINT_PTR id, const Starter& start) { return m_held->OnTimer(id, start); }

bool CCommandDispatch::Run(const std::string& remote, const std::string& command, int repeat) {
  if (!m_tree) return false;
  exec::RunOptions options;
  options.synchronous = m_settings.synchronous;
  options.layoutSelectorOpen = m_osd->SelectorActive();
  options.selectorTrigger = m_osd->SelectorTrigger();
  return m_engine->StartCommandRun(
      m_main, exec::RunRequest::byName(*m_tree, remote, command, static_cast<uint32_t>(std::max(repeat, 0))), options);
}

void CCommandDispatch::EndCycle() {
  keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
  m_engine->CycleFlag() = false;
  if (m_status) m_status(kCycleStatus);
}

LRESULT CCommandDispatch::OnHookKey(LPARAM lParam, const HotKeyStarter& start) {
  if (m_ignoreNextKey) {
    m_ignoreNextKey = false;
    return 0;
  }
  if (m_engine->CycleFlag()) EndCycle();
  if (m_hotKeysSuspended) return 0;
  for (const wchar_t* tool : {L"Mouse Position Tool", L"Available windows"})
    if (const HWND window = FindWindowW(nullptr, tool))
      return SendMessageW(window, abi::kVexaMessage, ProgramMessage::kHotKeyEvent, lParam);
  const HookKey key = hotKeyFromHookEvent(static_cast<uint32_t>(lParam));
  if (!m_tree || key.hotKey == 0) return 0;
  const CHeldButtons::Starter startHeld = [&start, &key](const std::string& remote, const std::string& command, int) {
    start(remote, command, key.special);
  };
  // The key's auto-repeat while it is held for a command that waits for the hold decision.
  if (m_held->OnHotKeyEvent(key.hotKey, startHeld)) return 1;
  // Every command with that hot key starts, in tree order; the first with a
  // held-button setting waits instead.
  std::vector<std::pair<std::string, std::string>> found;
  bool waiting = false;
  m_tree->forEachItem([&](const CCmdItem& item) {
    const CCmdArray* command = item.command() ? item.command() : item.folder() ? &item.folder()->appCommand() : nullptr;
    if (!command || command->hotKey() != key.hotKey) return;
    if (!waiting && item.command() && m_held->PressHotKey(key.hotKey, *command)) {
      waiting = true;
      return;
    }
    const CCmdItem* remote = &item.remote();
    // A folder's application command is known by its button name; a plain
    // command may have a name that merely starts like one.
    found.emplace_back(remote->label(), item.folder() ? item.folder()->commandName() : command->name());
  });
  for (const auto& [remote, command] : found) start(remote, command, key.special);
  return found.empty() && !waiting ? 0 : 1;
}

std::optional<LRESULT> CCommandDispatch::OnEngineMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case ProgramMessage::kSynthesiseKey:
      keybd_event(static_cast<BYTE>(wp), 0, lp == ProgramMessage::kKeyUp ? KEYEVENTF_KEYUP : 0, 0);
      return 1;
    case ProgramMessage::kServerRecord: {
      const std::unique_ptr<ServerRecord> record(reinterpret_cast<ServerRecord*>(wp));
      if (record && m_forward) m_forward(*record);
      return 0;
    }
    case ProgramMessage::kSwitchLayout:
      return lp ? SwitchLayout(*reinterpret_cast<SwitchLayoutRequest*>(lp)) : 0;
  }
  if (const auto handled = m_actions->OnMessage(msg, wp, lp)) return *handled;
  if (msg == abi::kVexaMessage && wp == ProgramMessage::kDisplayRequest) {
    auto* request = reinterpret_cast<DisplayRequest*>(lp);
    return request ? m_osd->OnDisplayRequest(*request) : 0;
  }
  return std::nullopt;
}

namespace {

// The layout's number by name (case-insensitive), or the given number.
int layoutNumberOf(const CCmdArray& command, const SwitchLayoutRequest& request) {
  if (request.layoutName.empty()) return request.layoutNumber;
  for (const CCmdArray* l = &command.first(); l; l = l->next())
    if (iequals(l->layoutName(), request.layoutName)) return command.first().layoutNumber(l);
  return -1;
}

}  // namespace

LRESULT CCommandDispatch::SwitchLayout(SwitchLayoutRequest& request) {
  if (!m_tree) return 0;
  // The command may have gone since the run was started.
  const CCmdItem* item = nullptr;
  m_tree->forEachItem([&](const CCmdItem& i) {
    if (!item && i.command() == request.command) item = &i;
  });
  if (!item) return 0;
  CCmdArray& command = item->command()->first();
  const int number = layoutNumberOf(command, request);
  // A layout that does not exist is a failure, not a silent no-op.
  if (number < 0 || !command.switchToLayout(static_cast<size_t>(number))) return 0;
  bool all = true;
  if (request.wholeFolder && item->parent() && item->parent()->folder()) {
    for (const auto& sibling : item->parent()->children()) {
      CCmdArray* other = sibling->command();
      if (!other || other == item->command()) continue;
      const int n = layoutNumberOf(other->first(), request);
      all = n >= 0 && other->first().switchToLayout(static_cast<size_t>(n)) && all;
    }
  }
  request.activeLayout = command.activeLayout()->layoutName();
  return all ? 1 : 0;
}

bool CCommandDispatch::ShowShutdownDisplay(const DisplayRequest& request) {
  // The countdown waits while the display is up and hears when it closes.
  const bool shown = m_osd->ShowShutdown(request.text, request.value, static_cast<int>(request.repeat),
                                         [this](uint32_t, int32_t goOn) {
                                           if (m_actions) m_actions->Shutdown().OnDisplayClosed(goOn != 0);
                                         });
  if (shown) m_actions->Shutdown().SetDisplayShowing(true);
  return shown;
}

}  // namespace vexa::shell
