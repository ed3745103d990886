#include "vexa/shell/win/config_location.h"

#include <system_error>

namespace vexa::shell {

namespace fs = std::filesystem;

namespace {

// Copies without replacing; true when the destination now holds a configuration.
bool copyUnlessPresent(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (fs::exists(to, ec)) return true;
  return fs::copy_file(from, to, fs::copy_options::skip_existing, ec) && !ec;
}

}  // namespace

fs::path locateConfigFile(const std::optional<fs::path>& appData, const fs::path& programFolder) {
  const fs::path legacy = programFolder / kConfigFileName;
  if (!appData || appData->empty()) return legacy;

  std::error_code ec;
  const fs::path folder = *appData / kConfigFolderName;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) return legacy;

  const fs::path current = folder / kConfigFileName;
  if (fs::exists(legacy, ec)) {
    // Keep using the old file when it cannot be moved, so nothing is lost.
    if (!copyUnlessPresent(legacy, current)) return legacy;
    fs::remove(legacy, ec);
  }
  return current;
}

}  // namespace vexa::shell
