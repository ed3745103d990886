#pragma once
// "Execute application" and "Close application".
#include <string>

#include "vexa/exec/action_walk.h"
#include "vexa/exec/win/run_environment.h"

namespace vexa::exec {

inline constexpr std::string_view kMsgExecuted = "Executed application %s";
inline constexpr std::string_view kMsgExecuteFailed = "'Execute application' failed - %s";
inline constexpr std::string_view kMsgClosed = "Closed application %s";
inline constexpr std::string_view kMsgCloseFailed = "'Close application' failed - %s";

class CApplicationActions {
 public:
  explicit CApplicationActions(CRunEnvironment& environment) : m_environment(environment) {}

  // Each returns success and leaves the status text in `message`; an action
  // without an application ("n/a" or empty) does nothing and says nothing.
  bool execute(const ActionCall& call, std::string& message);
  bool close(const ActionCall& call, std::string& message);

 private:
  CRunEnvironment& m_environment;
};

// `format` with its one "%s" replaced by `text`.
std::string formatStatus(std::string_view format, std::string_view text);

}  // namespace vexa::exec
