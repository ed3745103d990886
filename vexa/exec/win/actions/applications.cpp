// Starting, closing and arranging applications, keystrokes to an
// application, and opening locations.
#include <windows.h>
#include <shellapi.h>

#include "vexa/exec/actions/status_text.h"
#include "vexa/exec/exec_names.h"
#include "vexa/exec/win/actions/action_table.h"
#include "vexa/exec/win/actions/activation.h"
#include "vexa/exec/win/application_actions.h"
#include "vexa/exec/win/com_scope.h"
#include "vexa/exec/win/window_operation.h"
#include "vexa/winlib/unicode.h"

namespace vexa::exec {

namespace {

bool executeApplication(ActionContext& c, std::string& message) {
  CApplicationActions actions(c.environment);
  return actions.execute(c.call, message);
}

bool closeApplication(ActionContext& c, std::string& message) {
  CApplicationActions actions(c.environment);
  return actions.close(c.call, message);
}

struct Arrangement {
  UINT operation;
  std::string_view success, failure;
};

bool arrange(ActionContext& c, std::string& message, const Arrangement& a) {
  const std::string written = applicationFileOf(c.action(), c.call.command);
  if (isNoApplication(written)) return false;
  const std::string file = c.environment.expand(written);
  WindowOperation op{a.operation};
  op.module = isModuleApplication(file);
  const bool ok = c.environment.apply(file, op) != 0 && op.done;
  message = statusText(ok ? a.success : a.failure, file);
  return ok;
}

bool minimizeApplication(ActionContext& c, std::string& m) {
  return arrange(c, m, {WindowOp::kMinimiseToggle, "Minimized application %s", "'Minimize application' failed - %s"});
}
bool maximizeApplication(ActionContext& c, std::string& m) {
  return arrange(c, m, {WindowOp::kMaximiseToggle, "Maximized application %s", "'Maximize application' failed - %s"});
}
bool minMaxRestoreApplication(ActionContext& c, std::string& m) {
  return arrange(c, m, {WindowOp::kCycle, "'Min/Max/Restore application' %s",
                        "'Min/Max/Restore application' failed - %s"});
}
bool restoreApplication(ActionContext& c, std::string& m) {
  return arrange(c, m, {WindowOp::kRestore, "Restored application %s", "'Restore application' failed - %s"});
}

bool keystrokeToApplication(ActionContext& c, std::string& message) {
  const std::string written = applicationFileOf(c.action(), c.call.command);
  if (isNoApplication(written)) return false;
  const std::string file = c.environment.expand(written);
  WindowOperation activate{WindowOp::kActivate};
  activate.module = isModuleApplication(file);
  activate.temporaryHost = &c.host;
  WindowOperation test{WindowOp::kTestForeground};
  test.module = activate.module;
  const bool ok = c.environment.apply(file, activate) != 0 && activate.done && c.environment.apply(file, test) != 0 &&
                  (test.done || test.module);
  if (ok) sendKeystrokes(c.host, c.action().param);
  message = statusText(ok ? "Keystroke sent to %s" : "'Send keystroke' failed - %s", file);
  return ok;
}

bool openLocation(ActionContext& c, std::string& message) {
  const std::string& location = c.action().fileName;
  if (location.empty()) return false;
  CComScope com;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", win::toWide(location).c_str(), nullptr, nullptr, SW_HIDE));
  const bool ok = result > 32;
  message = statusText(ok ? "Opened location %s" : "Open Location failed for %s", location);
  return ok;
}

}  // namespace

void registerApplicationActions(CActionTable& table) {
  table.add(ActionKind::ExecuteApplication, executeApplication);
  table.add(ActionKind::CloseApplication, closeApplication);
  table.add(ActionKind::KeystrokeToApplication, keystrokeToApplication);
  table.add(ActionKind::MinimizeApplication, minimizeApplication);
  table.add(ActionKind::MaximizeApplication, maximizeApplication);
  table.add(ActionKind::MinMaxRestoreApplication, minMaxRestoreApplication);
  table.add(ActionKind::RestoreApplication, restoreApplication);
  table.add(ActionKind::OpenLocation, openLocation);
}

}  // namespace vexa::exec
