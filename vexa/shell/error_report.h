#pragma once
// The texts of the one error reporter: what it writes to err.log, what it asks
// and tells the user, and the configuration dump that goes with every report.
#include <cstdint>
#include <ctime>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace vexa::shell {

inline constexpr std::string_view kErrorLogFile = "err.log";
inline constexpr std::string_view kConfigLogFile = "config.log";
inline constexpr std::string_view kRecoveryPresetName = "Error Recovery Backup";
inline constexpr std::string_view kExceptionTitle = "Exception";
inline constexpr std::string_view kSupportAddress = "support@marlix.example";

struct ErrorReport {
  int line = 0;
  std::string file;     // source file, as the compiler names it
  std::string date;     // build date of that file ("Nov 12 2001")
  std::string message;  // "FileException: ..." and the like
  bool fatal = false;
};

// The report for the exception being handled (inside a catch block, or a
// captured one). Typed failures name where they were raised; anything else
// is placed at the handler's position.
ErrorReport reportFromException(std::exception_ptr error, const char* file, int line, const char* date);

// The source file as logged: lower case, from "vexa\" on; "<unknown>" when empty.
std::string shownFileName(std::string_view file);

// The entry at the top of err.log; `utc` is the time of the report.
std::string errorLogEntry(const ErrorReport& report, std::time_t utc);

// The question of the first box; `logPath` when err.log was written.
std::string errorQuestionText(const ErrorReport& report, const std::optional<std::string>& logPath);
// The second box: whether the recovery preset was made, and what happens next.
std::string errorOutcomeText(bool recoveryPresetCreated, bool fatal);

struct OsVersion {
  bool nt = true;
  unsigned major = 0, minor = 0, build = 0;
  std::string servicePack;
  unsigned languageId = 0;
};

struct WinsockVersion {
  unsigned major = 0, minor = 0;
  std::string description, status;
};

// Everything the configuration dump shows, gathered by the program.
struct ConfigDumpValues {
  std::string programVersion, serverVersion, hookVersion;  // or "Not loaded"
  std::optional<OsVersion> os;
  std::string deviceModule, deviceModuleName;  // the plug-in's file and its name
  std::string activeDevice;
  std::string selectorDescription, selector1, selector2;
  bool deviceInitialized = false, deviceRunning = false;
  uint32_t options = 0;
  int serverPort = 0;
  bool serverRunning = false;
  std::optional<WinsockVersion> winsock;  // none when WSAStartup failed
};

std::string configDumpText(const ConfigDumpValues& values);

}  // namespace vexa::shell
