#include "vexa/exec/win/process_name_cache.h"

#include <algorithm>

#include "vexa/base/strings.h"

namespace vexa::exec {

void CProcessNameCache::replace(std::vector<std::string> keys) {
  std::lock_guard lock(m_lock);
  m_keys = std::move(keys);
}

void CProcessNameCache::clear() { replace({}); }

bool CProcessNameCache::empty() const {
  std::lock_guard lock(m_lock);
  return m_keys.empty();
}

bool CProcessNameCache::contains(std::string_view key) const {
  std::lock_guard lock(m_lock);
  return std::any_of(m_keys.begin(), m_keys.end(), [&](const std::string& k) { return iequals(k, key); });
}

}  // namespace vexa::exec
