#include "modules/vexanet/event_line.h"

namespace vexanet {

namespace {

void appendName(std::string& line, std::string_view name) {
  name = name.substr(0, kMaxNameBytes);
  for (char c : name) line.push_back(c == '\t' || c == '\r' || c == '\n' ? ' ' : c);
}

}  // namespace

std::string eventLine(std::string_view command, std::string_view remote, uint32_t repeat) {
  std::string line;
  line.reserve(command.size() + remote.size() + 16);
  appendName(line, command);
  line.push_back('\t');
  appendName(line, remote);
  line.push_back('\t');
  line += std::to_string(repeat);
  line.push_back('\n');
  return line;
}

}  // namespace vexanet
