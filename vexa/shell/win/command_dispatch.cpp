#include "vexa/shell/win/command_dispatch.h"

#include <vector>

#include "vexa/base/program_options.h"
#include "vexa/base/strings.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/device/win/device.h"
#include "vexa/exec/display_request.h"
#include "vexa/exec/exec_messages.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/osd/win/osd.h"
#include "vexa/osd/win/osd_settings_store.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/base/program_messages.h"

namespace vexa::shell {

namespace {

uint64_t now100ns() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

}  // namespace

DispatchSettings DispatchSettings::fromRegistry() {
  DispatchSettings s;
  win::CRegKey key;
  if (!key.Open(HKEY_CURRENT_USER, device::kProgramRegistryKey)) return s;
  if (auto v = key.QueryDword(L"RepThreshold")) s.repThresholdMs = *v;
  if (auto v = key.QueryDword(L"TypematicDelay")) s.typematicDelayMs = *v;
  s.synchronous = optionsFromWord(key.QueryDword(L"Options")).has(ProgramOptions::kDisableMultithreading);
  s.osd = osd::win::loadOsdSettings(win::CSystemCodePage());
  return s;
}

DispatchSettings DispatchSettings::from(const ProgramSettings& settings) {
  DispatchSettings s;
  s.repThresholdMs = settings.repThresholdMs;
  s.typematicDelayMs = settings.typematicDelayMs;
  s.synchronous = settings.options.has(ProgramOptions::kDisableMultithreading);
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
  hooks.programIcon = reinterpret_cast<HICON>(GetClassLongPtrW(mainWindow, GCLP_HICON));
  m_osd = std::make_unique<osd::win::COsd>(std::move(hooks));
  ApplySettings(settings);
}

void CCommandDispatch::ApplySettings(const DispatchSettings& settings) {
  m_settings = settings;
  m_filter.setRepThreshold(m_settings.repThresholdMs);
  m_osd->ApplySettings(m_settings.osd, m_settings.typematicDelayMs);
}

void CCommandDispatch::SetTree(CCmdTree* tree) {
  m_tree = tree;
  m_osd->SetTree(tree);
}

CCommandDispatch::~CCommandDispatch() { m_engine->Shutdown(); }

void CCommandDispatch::OnCommandRecord(const std::string& remote, const std::string& command, int repeat,
                                       const Starter& start, LPARAM record) {
  const auto decision = m_filter.onRecord(remote, command, repeat, now100ns(), m_settings.typematicDelayMs);
  if (decision.verdict != CRepeatFilter::Verdict::Accepted) return;
  if (auto* r = reinterpret_cast<abi::CommandRecord*>(record)) r->repeatCount = decision.repeat;
  if (decision.repeat == 0 && m_capture && IsWindow(m_capture)) {
    SendMessageW(m_capture, abi::kVexaMessage, abi::MainCode::kCommand, record);
    return;
  }
  start(remote, command, decision.repeat);
}

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

LRESULT CCommandDispatch::OnHookKey(LPARAM lParam, const Starter& start) {
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
  // Every command with that hot key starts, in tree order.
  std::vector<std::pair<std::string, std::string>> found;
  m_tree->forEachItem([&](const CCmdItem& item) {
    const CCmdArray* command = item.command() ? item.command() : item.folder() ? &item.folder()->appCommand() : nullptr;
    if (!command || command->hotKey() != key.hotKey) return;
    const CCmdItem* remote = &item;
    while (remote->parent()) remote = remote->parent();
    // A folder's application command is known by its button name; a plain
    // command may have a name that merely starts like one.
    found.emplace_back(remote->label(), item.folder() ? item.folder()->commandName() : command->name());
  });
  for (const auto& [remote, command] : found) start(remote, command, 0);
  return found.empty() ? 0 : 1;
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
    case ProgramMessage::kFlashTray:
      return 0;
    case ProgramMessage::kSwitchLayout: {
      std::unique_ptr<SwitchLayoutRequest> request(reinterpret_cast<SwitchLayoutRequest*>(lp));
      if (!request || !m_tree) return 0;
      // The command may have gone since the run was started.
      const CCmdItem* item = nullptr;
      m_tree->forEachItem([&](const CCmdItem& i) {
        if (!item && i.command() == request->command) item = &i;
      });
      if (!item) return 0;
      CCmdArray& command = *item->command();
      int number = request->layoutNumber;
      if (!request->layoutName.empty())
        for (CCmdArray* l = &command; l; l = l->next())
          if (iequals(l->layoutName(), request->layoutName)) number = command.layoutNumber(l);
      return number >= 0 && command.switchToLayout(static_cast<size_t>(number)) ? 1 : 0;
    }
  }
  if (msg == abi::kVexaMessage && wp == ProgramMessage::kDisplayRequest) {
    auto* request = reinterpret_cast<DisplayRequest*>(lp);
    return request ? m_osd->OnDisplayRequest(*request) : 0;
  }
  return std::nullopt;
}

bool CCommandDispatch::StopRunsForExit(HWND owner) {
  if (m_engine->Busy() &&
      MessageBoxW(owner, kQuitQuestion, L"Vexa", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  m_engine->Shutdown();
  return true;
}

}  // namespace vexa::shell
