#pragma once
// Reading remote definitions in the text form the Linux infrared daemon
// keeps them in ("lircd.conf"): "begin remote" blocks of settings, each with
// a "codes" or "raw_codes" block. Only the structure is read here; what the
// settings mean is the importer's.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::device {

struct LircdSetting {
  std::string key;                  // as written
  std::vector<std::string> values;  // the words after it
  int line = 0;
};

struct LircdCode {
  std::string name;
  std::vector<uint64_t> codes;  // more than one: a sequence sent as one button
  int line = 0;
};

struct LircdRawCode {
  std::string name;
  std::vector<uint32_t> durations;  // pulse, space, pulse, ... in microseconds
  int line = 0;
};

struct LircdRemote {
  std::string name;
  int line = 0;  // of "begin remote"
  std::vector<LircdSetting> settings;
  std::vector<LircdCode> codes;
  std::vector<LircdRawCode> rawCodes;

  // The first setting of that key (case-insensitive), or none.
  const LircdSetting* find(std::string_view key) const;
};

// Every remote of the text. Syntax errors throw ArchiveError with a message
// that names the line.
std::vector<LircdRemote> parseLircdConfig(std::string_view text);

// A number as the daemon writes them: decimal, or hexadecimal after "0x".
// False when the word is not one.
bool parseLircdNumber(std::string_view word, uint64_t& value);

}  // namespace vexa::device
