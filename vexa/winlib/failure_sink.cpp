#include "vexa/winlib/failure_sink.h"

#include <utility>

namespace vexa::win {

namespace {
// The scope installed on this thread; owned by the CFailureScope on its stack.
thread_local CFailureScope* t_scope = nullptr;
}  // namespace

CFailureScope::CFailureScope(FailureSink sink) : m_sink(std::move(sink)), m_previous(t_scope) { t_scope = this; }

CFailureScope::~CFailureScope() { t_scope = m_previous; }

bool CFailureScope::Report(const char* file, int line, const char* date) {
  CFailureScope* scope = t_scope;
  if (!scope || !scope->m_sink) return false;
  scope->m_sink(std::current_exception(), file, line, date);
  return true;
}

}  // namespace vexa::win
