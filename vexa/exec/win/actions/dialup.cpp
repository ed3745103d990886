// "Connect" and "Disconnect", through ISystemActions.
#include "vexa/exec/actions/status_text.h"
#include "vexa/exec/win/actions/action_table.h"

namespace vexa::exec {

namespace {

bool connect(ActionContext& c, std::string& message) {
  const std::string& entry = c.action().fileName;
  if (entry.empty()) return false;
  const DialResult r = c.services.system->dial(entry);
  switch (r.outcome) {
    case DialResult::Outcome::Connected: message = statusText("Connecting to %s", entry); return true;
    case DialResult::Outcome::NoService: message = "Connect failed: no RAS service available"; return false;
    case DialResult::Outcome::NoEntry: message = statusText("Connect failed for %s", entry); return false;
    case DialResult::Outcome::Failed: message = statusText("Connect failed for %s [%s]", {entry, r.error}); return false;
  }
  return false;
}

bool disconnect(ActionContext& c, std::string& message) {
  const HangUpResult r = c.services.system->hangUpAll();
  switch (r.outcome) {
    case HangUpResult::Outcome::Done: message = "Disconnected from web"; return true;
    case HangUpResult::Outcome::NoService: message = "Disconnect failed: no RAS service available"; return false;
    case HangUpResult::Outcome::EnumerationFailed: message = "Disconnect failed: "; return false;
    case HangUpResult::Outcome::Failed: message = statusText("Disconnect failed: %s", r.error); return false;
  }
  return false;
}

}  // namespace

void registerDialUpActions(CActionTable& table) {
  table.add(ActionKind::Connect, connect);
  table.add(ActionKind::Disconnect, disconnect);
}

}  // namespace vexa::exec
