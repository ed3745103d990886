#include "vexa/exec/win/exec_cmd.h"

#include <cstring>
#include <memory>

#include "vexa/base/utf8.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/exec_messages.h"
#include "vexa/exec/exec_names.h"
#include "vexa/exec/win/actions/action_table.h"
#include "vexa/model/app_folder.h"
#include "vexa/model/catalogue.h"
#include "vexa/winlib/unicode.h"
#include "vexa/base/program_messages.h"

namespace vexa::exec {

namespace {

constexpr unsigned kVkTab = 0x09;
constexpr unsigned kVkAlt = 0x12;
constexpr DWORD kKeyPauseMs = 10;

std::wstring wideName(std::string_view name) { return win::toWide(name); }

DisplayRequest displayRequest(uint32_t code, std::string text, const void* object, uint32_t repeat) {
  DisplayRequest r;
  r.code = code;
  r.text = std::move(text);
  r.object = object;
  r.repeat = repeat;
  return r;
}

}  // namespace

CExecCmd::CExecCmd(CExecEngine& engine, HWND mainWindow, RunRequest request, RunOptions options)
    : m_engine(engine),
      m_mainWindow(mainWindow),
      m_request(std::move(request)),
      m_options(std::move(options)),
      m_environment(engine.Processes(), engine.ProcessNames(), m_request.repeat != 0) {
  // A held button's resolution uses the window list collected before.
  m_environment.setWindowFinder([this](std::string_view name) { return findWindow(name, m_request.repeat == 0); });
}

void CExecCmd::RunJob() {
  // A failed run is reported and abandoned; this thread then serves the next press.
  try {
    ThreadStart();
  } catch (...) {
    if (!m_engine.ReportRunFailure(__FILE__, __LINE__, __DATE__)) throw;
  }
  m_engine.Threads().remove(GetCurrentThreadId());
}

void CExecCmd::ThreadStart() {
  if (m_options.layoutSelectorOpen && !m_request.isDirect() && hasWindow()) {
    DisplayRequest look =
        displayRequest(DisplayRequest::kLayoutSelector, m_request.commandName(), nullptr, m_request.repeat);
    if (selectorTookPress(sendDisplayRequest(look))) return;  // the open selector took the press
  }
  const std::string name =
      commandMutexName(m_request.remoteName(), m_request.commandName(), m_request.isDirect());
  win::CMutex running;
  if (!running.Create(wideName(name))) {
    status("Command " + m_request.commandName() + " not executed - its lock could not be created (error " +
           std::to_string(GetLastError()) + ")");
    return;
  }
  if (running.AlreadyExisted()) return;  // the same command is still running
  CPriorityBoost::CScope high(m_engine.Priority());
  Run();
}

bool CExecCmd::openTerminateEvent() {
  return m_terminate.Create(wideName(kExecTerminateEvent), true, false);
}

void CExecCmd::Run() {
  if (!openTerminateEvent()) {
    status("Command " + m_request.commandName() + " not executed - the terminate event could not be created");
    return;
  }
  std::optional<CommandSnapshot> command;
  if (m_request.isDirect())
    command = std::get<CommandSnapshot>(m_request.target);
  else
    command = std::get<CommandVariants>(m_request.target).resolve(m_environment);

  if (!m_request.isDirect()) {
    if (m_request.commandName() == m_options.selectorTrigger && !m_options.selectorTrigger.empty()) {
      DisplayRequest trigger = displayRequest(DisplayRequest::kLayoutSelector, m_request.commandName(),
                                              command ? command->identity : nullptr, m_request.repeat);
      if (hasWindow() && selectorTookPress(sendDisplayRequest(trigger))) return;
    }
  }
  if (!(command && command->inFolder && (command->folder.flags & APPFOLDER::kDisableServer))) postServerRecord();
  if (!m_request.isDirect() && !askLayoutSelector(command)) return;
  if (!command) return;
  walkActions(*command, m_request.repeat, *this);
}

bool CExecCmd::askLayoutSelector(std::optional<CommandSnapshot>& command) {
  if (!hasWindow()) return true;
  DisplayRequest ask = displayRequest(DisplayRequest::kLayoutSelector, m_request.commandName(),
                                      command ? command->identity : nullptr, m_request.repeat);
  if (selectorTookPress(sendDisplayRequest(ask))) return false;
  if (ask.replacement) command = std::move(ask.replacement);
  return true;
}

intptr_t CExecCmd::sendDisplayRequest(DisplayRequest& request) {
  return SendMessageW(m_mainWindow, abi::kVexaMessage, ProgramMessage::kDisplayRequest,
                      reinterpret_cast<LPARAM>(&request));
}

void CExecCmd::postServerRecord() {
  if (!hasWindow()) return;
  auto record = std::make_unique<ServerRecord>(
      makeServerRecord(m_request.commandName(), m_request.repeat, m_request.remoteName()));
  if (PostMessageW(m_mainWindow, ProgramMessage::kServerRecord, reinterpret_cast<WPARAM>(record.get()), 0))
    record.release();  // the main window deletes it
}

bool CExecCmd::terminateRequested() { return m_terminate.Wait(0); }

bool CExecCmd::waitForTerminate(unsigned ms) { return WaitForSingleObject(m_terminate.Get(), ms) != WAIT_TIMEOUT; }

bool CExecCmd::cycleInProgress() { return m_engine.CycleFlag().load(); }

void CExecCmd::sendKey(unsigned virtualKey, bool up) {
  if (hasWindow()) SendMessageW(m_mainWindow, ProgramMessage::kSynthesiseKey, virtualKey, up ? ProgramMessage::kKeyUp : 0);
}

HWND CExecCmd::findWindow(std::string_view name, bool refresh) {
  if (name.empty() || !hasWindow()) return nullptr;
  const std::string text(name);
  return reinterpret_cast<HWND>(
      SendMessageW(m_mainWindow, ProgramMessage::kFindWindow, refresh ? 1 : 0, reinterpret_cast<LPARAM>(text.c_str())));
}

LRESULT CExecCmd::request(ActionUiRequest& request) {
  if (!hasWindow()) return 0;
  return SendMessageW(m_mainWindow, ProgramMessage::kActionRequest, 0, reinterpret_cast<LPARAM>(&request));
}

intptr_t CExecCmd::display(DisplayRequest& request) { return hasWindow() ? sendDisplayRequest(request) : 0; }

void CExecCmd::endCycle() {
  sendKey(kVkTab, true);
  Sleep(kKeyPauseMs);
  sendKey(kVkAlt, true);
  Sleep(kKeyPauseMs);
  m_engine.CycleFlag() = false;
  status("Cycled through windows");
}

void CExecCmd::flashTray() {
  if (hasWindow()) PostMessageW(m_mainWindow, ProgramMessage::kFlashTray, 0, 0);
}

bool CExecCmd::applicationRunning(std::string_view fileName, bool useCachedList) {
  if (isNoApplication(fileName)) return false;
  return m_environment.isRunning(m_environment.expand(fileName), useCachedList);
}

bool CExecCmd::execute(const ActionCall& call, std::string& message) {
  const ActionHandler handler = CActionTable::instance().find(call.kind());
  if (!handler) return false;
  ActionContext context{call, m_environment, *this, m_engine.Services()};
  return handler(context, message);
}

void CExecCmd::status(std::string message) {
  if (message.empty() || !hasWindow()) return;
  if (message.size() > kMaxStatusText) message = std::string(utf8Prefix(message, kMaxStatusText));
  auto text = std::make_unique<char[]>(message.size() + 1);
  std::memcpy(text.get(), message.c_str(), message.size() + 1);
  // Sent, not posted: the main window owns the text once the call returns. Its own
  // code, not the plug-ins' 100: the text is UTF-8, theirs is ANSI.
  SendMessageW(m_mainWindow, abi::kVexaMessage, ProgramMessage::kRunStatus, reinterpret_cast<LPARAM>(text.release()));
}

void CExecCmd::showExecuted(const CommandSnapshot& command, uint32_t repeat) {
  if (!hasWindow()) return;
  DisplayRequest executed = displayRequest(DisplayRequest::kCommandExecuted, command.command, command.identity, repeat);
  if (!m_request.heldFrom.empty()) executed.heldFrom = m_request.heldFrom;
  sendDisplayRequest(executed);
}

}  // namespace vexa::exec
