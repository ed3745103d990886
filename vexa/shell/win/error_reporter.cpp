#include "vexa/shell/win/error_reporter.h"

#include <ctime>
#include <fstream>

#include "vexa/base/file_io.h"
#include "vexa/base/program_messages.h"
#include "vexa/base/utf8_path.h"
#include "vexa/winlib/unicode.h"
#include "vexa/winlib/window.h"

namespace vexa::shell {

// Receives the reports of other threads on the thread that created it.
class CErrorReporter::CReporterWindow : public win::CWindow {
 public:
  explicit CReporterWindow(CErrorReporter& owner) : m_owner(owner) {}
  ~CReporterWindow() override { Destroy(); }

  bool Create() {
    static const wchar_t kClass[] = L"VexaErrorReporter";
    return RegisterWindowClass(kClass) && CWindow::Create(kClass, L"", 0, 0, {}, HWND_MESSAGE);
  }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg != ProgramMessage::kReportError) return CWindow::OnMessage(msg, wp, lp);
    m_owner.ReportHere(*reinterpret_cast<const ErrorReport*>(lp));
    return 0;
  }

 private:
  CErrorReporter& m_owner;
};

CErrorReporter::CErrorReporter(std::filesystem::path programFolder, const ICodePage& codePage,
                               ErrorReporterHooks hooks)
    : m_programFolder(std::move(programFolder)), m_codePage(codePage), m_hooks(std::move(hooks)) {}

CErrorReporter::~CErrorReporter() = default;

bool CErrorReporter::Create() {
  m_window = std::make_unique<CReporterWindow>(*this);
  if (!m_window->Create()) {
    m_window.reset();
    return false;
  }
  m_uiThread = GetCurrentThreadId();
  return true;
}

void CErrorReporter::Report(const ErrorReport& report) {
  // The shut-down and the recovery export touch windows and the command tree:
  // only the user-interface thread may run them.
  if (!OnInterfaceThread()) {
    m_window->Send(ProgramMessage::kReportError, 0, reinterpret_cast<LPARAM>(&report));
    return;
  }
  ReportHere(report);
}

void CErrorReporter::ReportException(std::exception_ptr error, const char* file, int line, const char* date) {
  Report(reportFromException(std::move(error), file, line, date));
}

int CErrorReporter::Box(const std::string& text, unsigned type) const {
  win::IPrompt& prompt = m_hooks.prompt ? *m_hooks.prompt : win::MessageBoxes();
  return prompt.Ask(nullptr, win::toWide(text), win::toWide(kExceptionTitle), type | MB_SETFOREGROUND);
}

std::string CErrorReporter::DumpText() const {
  return configDumpText(m_hooks.configValues ? m_hooks.configValues() : ConfigDumpValues{});
}

bool CErrorReporter::WriteErrorLog(const ErrorReport& report) {
  const std::filesystem::path path = ErrorLogPath();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << m_codePage.fromUtf8(errorLogEntry(report, std::time(nullptr)));
    if (!out.flush()) return false;
  }
  // The entry is on disk before the dump is gathered: a dump that fails in
  // turn must not lose it.
  try {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << m_codePage.fromUtf8(DumpText());
  } catch (...) {
  }
  return true;
}

void CErrorReporter::ReportHere(const ErrorReport& report) {
  const bool logged = WriteErrorLog(report);
  const std::optional<std::string> logPath =
      logged ? std::optional<std::string>(utf8FromPath(ErrorLogPath())) : std::nullopt;
  bool created = false;
  if (Box(errorQuestionText(report, logPath), MB_YESNO | MB_ICONERROR) == IDYES && m_hooks.exportRecoveryPreset) {
    try {
      created = m_hooks.exportRecoveryPreset();
    } catch (...) {
      created = false;  // the final message still comes
    }
  }
  Box(errorOutcomeText(created, report.fatal), MB_OK | MB_ICONINFORMATION);
  if (!report.fatal) return;
  // A reporting thread waits in SendMessage; let it go, so that the shut-down's
  // wait for execution threads sees it end instead of timing out on it.
  if (InSendMessage()) ReplyMessage(0);
  if (m_hooks.shutDownInOrder) m_hooks.shutDownInOrder();
  if (m_hooks.exitProcess)
    m_hooks.exitProcess(-1);
  else
    ExitProcess(static_cast<UINT>(-1));
}

bool CErrorReporter::WriteConfigLog() {
  try {
    writeFileAtomically(ConfigLogPath(), m_codePage.fromUtf8(DumpText()));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace vexa::shell
