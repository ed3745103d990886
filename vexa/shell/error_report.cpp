#include "vexa/shell/error_report.h"

#include <chrono>
#include <cstdio>
#include <new>

#include "vexa/base/errors.h"
#include "vexa/base/strings.h"

namespace vexa::shell {

namespace {

// The exception's own text is kept to 255 bytes, cut between characters.
std::string ownMessage(const char* what) {
  std::string text = what ? what : "";
  if (text.size() <= 255) return text;
  size_t cut = 255;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  text.resize(cut);
  return text;
}

struct Kind {
  const char* prefix;
  bool fatal;
};

Kind kindOf(const VexaError& e) {
  if (dynamic_cast<const MemoryError*>(&e)) return {"MemoryException: ", true};
  if (dynamic_cast<const FileError*>(&e)) return {"FileException: ", false};
  if (dynamic_cast<const ResourceError*>(&e)) return {"ResourceException: ", false};
  if (dynamic_cast<const NotSupportedError*>(&e)) return {"NotSupportedException: ", false};
  return {"Exception: ", false};
}

std::string orText(const std::string& value, const char* fallback) { return value.empty() ? fallback : value; }

std::string yesNo(bool value) { return value ? "Yes" : "No"; }

template <class... Args>
std::string format(const char* pattern, Args... args) {
  const int size = std::snprintf(nullptr, 0, pattern, args...);
  std::string text(size > 0 ? size : 0, '\0');
  std::snprintf(text.data(), text.size() + 1, pattern, args...);
  return text;
}

std::string osLine(const std::optional<OsVersion>& os) {
  if (!os) return "OS: unknown\n";
  const unsigned build = os->nt ? os->build : (os->build & 0xFFFF);
  return format("OS: %s %u.%u.%u%s L%x\n", os->nt ? "Windows NT" : "Windows", os->major, os->minor, build,
                os->servicePack.c_str(), os->languageId);
}

std::string winsockLine(const std::optional<WinsockVersion>& winsock) {
  if (!winsock) return "WSAStartup failed\n";
  return format("Winsock %x.%x (Desc: %s -- Status: %s)\n", winsock->major, winsock->minor,
                winsock->description.c_str(), winsock->status.c_str());
}

std::string noneWhenEmpty(const std::string& text) { return text.empty() ? "None" : text; }

}  // namespace

ErrorReport reportFromException(std::exception_ptr error, const char* file, int line, const char* date) {
  ErrorReport report{line, file ? file : "", date ? date : "", "", false};
  try {
    if (error) std::rethrow_exception(error);
  } catch (const VexaError& e) {
    const Kind kind = kindOf(e);
    report.message = kind.prefix + ownMessage(e.what());
    report.fatal = kind.fatal;
    if (e.file()) {
      report.file = e.file();
      report.line = e.line();
    }
  } catch (const std::bad_alloc& e) {
    report.message = "MemoryException: " + ownMessage(e.what());
    report.fatal = true;
  } catch (const std::exception& e) {
    report.message = "Exception: " + ownMessage(e.what());
  } catch (...) {
    // Left empty: the texts say "Unknown exception".
  }
  return report;
}

std::string shownFileName(std::string_view file) {
  if (file.empty()) return "<unknown>";
  const std::string lower = toLower(file);
  // Cross-compiled sources name their folders with "/".
  size_t at = lower.find("vexa\\");
  const size_t forward = lower.find("vexa/");
  if (forward < at) at = forward;
  return at == std::string::npos ? lower : lower.substr(at);
}

std::string errorLogEntry(const ErrorReport& report, std::time_t utc) {
  using namespace std::chrono;
  const auto time = sys_seconds(seconds(utc));
  const auto day = floor<days>(time);
  const year_month_day date(day);
  const hh_mm_ss clock(time - day);
  return format("%02u.%02u.%d %02d:%02d:%02d\n", static_cast<unsigned>(date.day()),
                static_cast<unsigned>(date.month()), static_cast<int>(date.year()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count())) +
         format("%s\n(line %d, file %s, modified %s)\n", orText(report.message, "Unknown exception").c_str(),
                report.line, shownFileName(report.file).c_str(), orText(report.date, "<unknown").c_str());
}

std::string errorQuestionText(const ErrorReport& report, const std::optional<std::string>& logPath) {
  std::string text = format("An error occured!\n\n%s\n(line %d, file %s, modified %s)",
                            orText(report.message, "Unknown Exception").c_str(), report.line,
                            shownFileName(report.file).c_str(), orText(report.date, "<unknown>").c_str());
  if (logPath)
    text += format("\nThe error has been logged to:  %s\nPlease send this file to ", logPath->c_str()) +
            std::string(kSupportAddress);
  return text + "\n\nWould you like to save your current configuration data?\n";
}

std::string errorOutcomeText(bool recoveryPresetCreated, bool fatal) {
  std::string text;
  if (recoveryPresetCreated) text = "A new preset '" + std::string(kRecoveryPresetName) + "' was created.\n";
  return text + (fatal ? "Vexa will exit now.\nMaybe you will see another error message from Windows."
                       : "Vexa will now try to recover from this error,\nbut it is strongly recommended that you "
                         "restart Vexa as soon as possible");
}

std::string configDumpText(const ConfigDumpValues& v) {
  std::string text = "\nCONFIGDUMP START\n\n";
  text += "Vexa version:" + v.programVersion + "\n";
  text += "Server module:" + v.serverVersion + "\n";
  text += "Hook module:" + v.hookVersion + "\n";
  text += osLine(v.os);
  text += format("Active device module: %s (%s)\n", v.deviceModule.c_str(), v.deviceModuleName.c_str());
  text += "Active Device:" + v.activeDevice + "\n";
  text += "DevSelectorDesc:" + noneWhenEmpty(v.selectorDescription) + "\n";
  text += "DevSelector1: " + noneWhenEmpty(v.selector1) + "\n";
  text += "DevSelector2: " + noneWhenEmpty(v.selector2) + "\n";
  text += "Device initialized: " + yesNo(v.deviceInitialized) + "\n";
  text += "Device running: " + yesNo(v.deviceRunning) + "\n";
  text += format("Options: %x\n", static_cast<unsigned>(v.options));
  text += format("ServerPort: %d\n", v.serverPort);
  text += "Server running: " + yesNo(v.serverRunning) + "\n";
  text += winsockLine(v.winsock);
  return text + "\nCONFIGDUMP END";
}

}  // namespace vexa::shell
