#pragma once
// Failures no handler caught still reach the reporter: a fault of the
// process (access violation and the like) and a C++ exception that left a
// thread. Both end the program, so they are reported as fatal.
#include <windows.h>

#include <exception>
#include <functional>

#include "vexa/shell/win/error_reporter.h"

namespace vexa::shell {

// The process has one top-level filter and one terminate handler, so this is
// the program's one process-wide hook: create one, on the user-interface
// thread, after the reporter. The destructor puts the previous ones back.
class CUnhandledFailureHook {
 public:
  explicit CUnhandledFailureHook(CErrorReporter& reporter);
  ~CUnhandledFailureHook();
  CUnhandledFailureHook(const CUnhandledFailureHook&) = delete;
  CUnhandledFailureHook& operator=(const CUnhandledFailureHook&) = delete;

  // What the top-level filter does with a fault.
  LONG OnUnhandledFault(const EXCEPTION_RECORD& record);
  // What the terminate handler does with an exception that left its thread.
  void OnEscapedException(std::exception_ptr error);

 private:
  static LONG WINAPI Filter(EXCEPTION_POINTERS* pointers);
  static void Terminate();
  bool EnterReport();
  void HoldUntilTheEnd() const;

  static CUnhandledFailureHook* s_installed;  // the one hook; see above

  CErrorReporter& m_reporter;
  LPTOP_LEVEL_EXCEPTION_FILTER m_previousFilter = nullptr;
  std::terminate_handler m_previousTerminate = nullptr;
  LONG m_reporting = 0;
};

// Runs a thread's body and reports what it throws, so that the thread ends
// with `failedResult` instead of taking the process down unannounced.
DWORD runReported(CErrorReporter& reporter, const std::function<DWORD()>& body, const char* file, int line,
                  const char* date, DWORD failedResult = static_cast<DWORD>(-1));

}  // namespace vexa::shell

#define VEXA_RUN_REPORTED(reporter, body) ::vexa::shell::runReported((reporter), (body), __FILE__, __LINE__, __DATE__)
