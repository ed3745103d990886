#include "plugins/tunerbox/setup_log.h"

#include <fstream>

namespace vexa::tunerbox {

std::string logPathFor(std::string_view modulePath) {
  const size_t slash = modulePath.find_last_of("\\/");
  const size_t dot = modulePath.find_last_of('.');
  const bool hasExtension = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
  return std::string(modulePath.substr(0, hasExtension ? dot : modulePath.size())) + ".log";
}

bool CSetupLog::put(std::string_view text, bool append) const {
  std::ofstream file(path_, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  return static_cast<bool>(file);
}

}  // namespace vexa::tunerbox
