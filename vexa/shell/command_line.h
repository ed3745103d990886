#pragma once
// The program's command line: "/l", "/p <preset file>", "/s <text>", "/u <text>".
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::shell {

struct CommandLineOptions {
  bool configLog = false;                 // /l: write config.log at the end of start-up
  std::optional<std::string> presetFile;  // /p: load this preset and save at once
  std::optional<std::string> sValue;      // /s
  std::optional<std::string> uValue;      // /u
};

// A message the program shows about its command line (title "Vexa").
struct CommandLineMessage {
  enum class Kind { Error, Information };
  Kind kind;
  std::string text;
};

struct CommandLine {
  CommandLineOptions options;
  std::vector<CommandLineMessage> messages;
};

// Parses the arguments after the program name (UTF-8). Options begin with "/"
// and end at the next "/" unless that one is inside double quotes.
CommandLine parseCommandLine(std::string_view arguments);

}  // namespace vexa::shell
