#include "vexa/device/code_matcher.h"

#include <algorithm>

namespace vexa::device {

void CCodeMatcher::clearCache() {
  lastCode_.clear();
  last_ = {};
}

std::optional<CodeMatch> CCodeMatcher::matchRaw(const uint8_t* bytes, size_t count) {
  if (store_.revision() != revision_) {
    clearCache();
    revision_ = store_.revision();
  }
  if (!last_.remote.empty() && !last_.command.empty() && lastCode_.size() == count &&
      std::equal(lastCode_.begin(), lastCode_.end(), bytes))
    return last_;
  clearCache();
  ++walks_;
  for (const auto& [remoteName, remote] : store_.remotes())
    for (const auto& [commandName, code] : remote.commands)
      if ((code.flags & CodeFlag::kRaw) && code.signature.size() == count &&
          std::equal(code.signature.begin(), code.signature.end(), bytes)) {
        lastCode_.assign(bytes, bytes + count);
        last_ = {remoteName, commandName};
        return last_;
      }
  return std::nullopt;
}

}  // namespace vexa::device
