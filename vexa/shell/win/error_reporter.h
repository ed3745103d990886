#pragma once
// The one error reporter: logs a failure with the configuration dump to
// err.log beside the program, tells the user, offers a recovery preset, and
// for a fatal failure shuts the program down in order and ends it. Reports
// from any thread are carried out on the user-interface thread.
#include <windows.h>

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "vexa/base/code_page.h"
#include "vexa/shell/error_report.h"
#include "vexa/winlib/prompt.h"

namespace vexa::shell {

struct ErrorReporterHooks {
  // The values of the configuration dump, asked for on the user-interface thread.
  std::function<ConfigDumpValues()> configValues;
  // Saves everything as the preset "Error Recovery Backup"; true when it was written.
  std::function<bool()> exportRecoveryPreset;
  // The program's orderly shut-down, before a fatal report ends the process.
  std::function<void()> shutDownInOrder;
  // Where the boxes go (they come from any thread); message boxes when null.
  win::IPrompt* prompt = nullptr;
  // Ends the process; ExitProcess when empty.
  std::function<void(int exitCode)> exitProcess;
};

class CErrorReporter {
 public:
  CErrorReporter(std::filesystem::path programFolder, const ICodePage& codePage, ErrorReporterHooks hooks);
  ~CErrorReporter();
  CErrorReporter(const CErrorReporter&) = delete;
  CErrorReporter& operator=(const CErrorReporter&) = delete;

  // Call on the user-interface thread: reports of other threads go there.
  bool Create();

  // From any thread; returns when the user has seen the report. A fatal one
  // does not return unless the exit hook does.
  void Report(const ErrorReport& report);
  // Inside a catch block, or with a captured exception.
  void ReportException(std::exception_ptr error, const char* file, int line, const char* date);

  // True on the thread that called Create (or everywhere before it).
  bool OnInterfaceThread() const { return !m_window || GetCurrentThreadId() == m_uiThread; }

  // "/l": the configuration dump alone, replacing config.log.
  bool WriteConfigLog();

  std::filesystem::path ErrorLogPath() const { return m_programFolder / std::string(kErrorLogFile); }
  std::filesystem::path ConfigLogPath() const { return m_programFolder / std::string(kConfigLogFile); }

 private:
  class CReporterWindow;

  void ReportHere(const ErrorReport& report);
  bool WriteErrorLog(const ErrorReport& report);
  std::string DumpText() const;
  int Box(const std::string& text, unsigned type) const;

  std::filesystem::path m_programFolder;
  const ICodePage& m_codePage;
  ErrorReporterHooks m_hooks;
  std::unique_ptr<CReporterWindow> m_window;
  DWORD m_uiThread = 0;
};

}  // namespace vexa::shell

// Reports the exception being handled at this source position.
#define VEXA_REPORT_CURRENT_EXCEPTION(reporter) \
  (reporter).ReportException(std::current_exception(), __FILE__, __LINE__, __DATE__)
