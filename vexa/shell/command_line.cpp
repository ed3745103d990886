#include "vexa/shell/command_line.h"

#include "vexa/base/strings.h"

namespace vexa::shell {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimTrailing(std::string_view s) {
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// One option's value: either quoted (may hold "/") or up to the next "/".
struct ValueScan {
  std::string value;
  size_t next = 0;  // where the next option's "/" is looked for
  bool unclosedQuote = false;
};

ValueScan scanValue(std::string_view line, size_t pos) {
  while (pos < line.size() && isBlank(line[pos])) ++pos;
  ValueScan scan;
  if (pos < line.size() && line[pos] == '"') {
    const size_t close = line.find('"', pos + 1);
    if (close == std::string_view::npos) {
      scan.unclosedQuote = true;
      scan.next = line.size();
      return scan;
    }
    scan.value = std::string(line.substr(pos + 1, close - pos - 1));
    scan.next = close + 1;
    return scan;
  }
  const size_t slash = line.find('/', pos);
  const size_t end = slash == std::string_view::npos ? line.size() : slash;
  scan.value = std::string(trimTrailing(line.substr(pos, end - pos)));
  scan.next = end;
  return scan;
}

void apply(CommandLine& result, char letter, std::string value) {
  switch (letter) {
    case 'l':
      result.options.configLog = true;
      break;
    case 'p':
      if (value.empty())
        result.messages.push_back({CommandLineMessage::Kind::Information, "Parameter missing: /p"});
      else
        result.options.presetFile = std::move(value);
      break;
    case 's':
      result.options.sValue = std::move(value);
      break;
    case 'u':
      result.options.uValue = std::move(value);
      break;
    default:
      break;  // unknown letters are ignored, as before
  }
}

}  // namespace

CommandLine parseCommandLine(std::string_view line) {
  CommandLine result;
  size_t pos = line.find('/');
  while (pos != std::string_view::npos && pos + 1 < line.size()) {
    const char letter = asciiLower(line[pos + 1]);
    if (letter == '/') {  // "//": an empty option
      pos += 1;
      continue;
    }
    ValueScan scan = scanValue(line, pos + 2);
    if (scan.unclosedQuote) {
      result.messages.push_back({CommandLineMessage::Kind::Error,
                                 std::string("Closing \" missing in parameter /") + letter});
      break;
    }
    apply(result, letter, std::move(scan.value));
    pos = line.find('/', scan.next);
  }
  return result;
}

}  // namespace vexa::shell
