// Any text either parses into remotes or is refused with a typed error; a
// remote that imports gives timing codes that receivers can report and that
// survive the device file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "vexa/base/errors.h"
#include "vexa/device/device_settings.h"
#include "vexa/device/lircd_import.h"
#include "vexa/device/plugin_abi.h"

using namespace vexa;
using namespace vexa::device;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<LircdRemote> remotes;
  try {
    remotes = parseLircdConfig(input);
  } catch (const ArchiveError&) {
    return 0;
  }
  for (const auto& remote : remotes) {
    ImportedRemote imported;
    try {
      imported = importLircdRemote(remote);
    } catch (const NotSupportedError&) {
      continue;
    }
    for (const auto& [name, code] : imported.remote.commands) {
      if (code.raw.empty() || !abi::isPulse(code.raw.front())) std::abort();
      for (const auto* s : {&code.raw, &code.toggled, &code.repeat})
        for (uint32_t v : *s)
          if (abi::durationOf(v) == 0 || abi::durationOf(v) >= abi::kMaxDurationUs) std::abort();
      if (abi::isPulse(code.gap) || abi::durationOf(code.gap) >= abi::kMaxDurationUs) std::abort();
    }
    CIniFile file;
    addImportedRemote(file, imported);
    CCodeStore store;
    readCodeStore(file.text(), store);
    const DeviceRemote* back = store.findRemote(imported.name);
    if (!back || back->commands != imported.remote.commands) std::abort();
  }
  return 0;
}
