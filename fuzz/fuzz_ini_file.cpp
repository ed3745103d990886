// Any text parses; a document writes to text that parses to the same values.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "vexa/codec/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const vexa::CIniFile ini = vexa::CIniFile::parse(input);
  const std::string text = ini.text();
  const vexa::CIniFile again = vexa::CIniFile::parse(text);
  if (again.text() != text) std::abort();
  for (const auto& section : ini.sectionNames())
    if (ini.entries(section) != again.entries(section)) std::abort();
  return 0;
}
