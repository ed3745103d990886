#pragma once
// Matching of received raw byte codes against the code store. One
// class so that a later issue can index the store and add timing matching here.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vexa/device/code_store.h"

namespace vexa::device {

struct CodeMatch {
  std::string remote;
  std::string command;
  bool operator==(const CodeMatch&) const = default;
};

class CCodeMatcher {
 public:
  explicit CCodeMatcher(const CCodeStore& store) : store_(store), revision_(store.revision()) {}

  // The first command with flag 0x20 whose signature equals the bytes, walking remotes
  // and then their commands in name order. The last match is cached, and the cache is
  // dropped whenever the store changed since.
  std::optional<CodeMatch> matchRaw(const uint8_t* bytes, size_t count);
  std::optional<CodeMatch> matchRaw(const std::vector<uint8_t>& bytes) { return matchRaw(bytes.data(), bytes.size()); }

  void clearCache();
  // Number of walks over the store (cache misses), for tests and benchmarks.
  uint64_t walks() const { return walks_; }

 private:
  const CCodeStore& store_;
  uint64_t revision_;
  std::vector<uint8_t> lastCode_;
  CodeMatch last_;
  uint64_t walks_ = 0;
};

}  // namespace vexa::device
