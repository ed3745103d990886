#include "vexa/shell/win/failure_hook.h"

#include <cstdio>
#include <cstdlib>

namespace vexa::shell {

CUnhandledFailureHook* CUnhandledFailureHook::s_installed = nullptr;

CUnhandledFailureHook::CUnhandledFailureHook(CErrorReporter& reporter) : m_reporter(reporter) {
  s_installed = this;
  m_previousFilter = SetUnhandledExceptionFilter(&Filter);
  m_previousTerminate = std::set_terminate(&Terminate);
}

CUnhandledFailureHook::~CUnhandledFailureHook() {
  SetUnhandledExceptionFilter(m_previousFilter);
  std::set_terminate(m_previousTerminate);
  s_installed = nullptr;
}

bool CUnhandledFailureHook::EnterReport() {
  // A fault while reporting one must not report again (and again).
  return InterlockedExchange(&m_reporting, 1) == 0;
}

LONG CUnhandledFailureHook::OnUnhandledFault(const EXCEPTION_RECORD& record) {
  if (!EnterReport()) return EXCEPTION_CONTINUE_SEARCH;
  char message[96];
  std::snprintf(message, sizeof message, "Exception: system exception 0x%08lX at %p",
                static_cast<unsigned long>(record.ExceptionCode), record.ExceptionAddress);
  m_reporter.Report(ErrorReport{0, "", "", message, true});
  HoldUntilTheEnd();
  return EXCEPTION_EXECUTE_HANDLER;
}

void CUnhandledFailureHook::OnEscapedException(std::exception_ptr error) {
  if (!EnterReport()) return;
  ErrorReport report = reportFromException(error, "", 0, "");
  report.fatal = true;  // nothing is left to return to
  m_reporter.Report(report);
  HoldUntilTheEnd();
}

void CUnhandledFailureHook::HoldUntilTheEnd() const {
  // The interface thread is shutting down in order and ends the process; were
  // this thread to go on, the system would end it first, with none of that.
  if (!m_reporter.OnInterfaceThread()) Sleep(INFINITE);
}

LONG WINAPI CUnhandledFailureHook::Filter(EXCEPTION_POINTERS* pointers) {
  if (!s_installed || !pointers || !pointers->ExceptionRecord) return EXCEPTION_CONTINUE_SEARCH;
  return s_installed->OnUnhandledFault(*pointers->ExceptionRecord);
}

void CUnhandledFailureHook::Terminate() {
  if (s_installed) s_installed->OnEscapedException(std::current_exception());
  std::abort();
}

DWORD runReported(CErrorReporter& reporter, const std::function<DWORD()>& body, const char* file, int line,
                  const char* date, DWORD failedResult) {
  try {
    return body();
  } catch (...) {
    reporter.ReportException(std::current_exception(), file, line, date);
    return failedResult;
  }
}

}  // namespace vexa::shell
