#include "vexa/exec/win/application_actions.h"

#include <windows.h>
#include <shellapi.h>

#include "vexa/exec/exec_names.h"
#include "vexa/exec/win/com_scope.h"
#include "vexa/exec/win/window_operation.h"
#include "vexa/winlib/unicode.h"

namespace vexa::exec {

namespace {

std::string folderOf(const std::string& file) {
  const size_t slash = file.rfind('\\');
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

bool startFile(const std::string& file, const std::string& parameters) {
  CComScope com;
  const std::wstring wideFile = win::toWide(file);
  const std::wstring wideParameters = win::toWide(parameters);
  const std::wstring folder = win::toWide(folderOf(file));
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = wideFile.c_str();
  info.lpParameters = wideParameters.empty() ? nullptr : wideParameters.c_str();
  info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) return false;
  if (info.hProcess) CloseHandle(info.hProcess);
  return true;
}

}  // namespace

std::string formatStatus(std::string_view format, std::string_view text) {
  std::string out(format);
  const size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, text);
  return out;
}

bool CApplicationActions::execute(const ActionCall& call, std::string& message) {
  const std::string written = applicationFileOf(call.action, call.command);
  if (isNoApplication(written)) return false;
  const std::string file = m_environment.expand(written);
  const bool ok = startFile(file, call.action.param);
  message = formatStatus(ok ? kMsgExecuted : kMsgExecuteFailed, file);
  return ok;
}

bool CApplicationActions::close(const ActionCall& call, std::string& message) {
  const std::string written = applicationFileOf(call.action, call.command);
  if (isNoApplication(written)) return false;
  const std::string file = m_environment.expand(written);
  WindowOperation op = closeOperation();
  const bool ok = m_environment.apply(file, op) != 0 && op.done;
  message = ok ? formatStatus(kMsgClosed, written) : formatStatus(kMsgCloseFailed, file);
  return ok;
}

}  // namespace vexa::exec
