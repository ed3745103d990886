#pragma once
// The process keys seen by the last enumeration. Several execution threads
// read and refill it, so every access is under its lock, and a refill
// replaces the whole list at once.
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::exec {

class CProcessNameCache {
 public:
  void replace(std::vector<std::string> keys);
  void clear();
  bool empty() const;
  // Compared ignoring case, like two file names of one application.
  bool contains(std::string_view key) const;

 private:
  mutable std::mutex m_lock;
  std::vector<std::string> m_keys;
};

}  // namespace vexa::exec
