#pragma once
// A key tree as a stream of keys in tree order (a key, its whole subtree,
// then its next sibling), so that a file can be read into another structure,
// or written from one, without a whole key tree in between.
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vexa/codec/profile_tree.h"

namespace vexa {

// One key as a reader meets it. Its texts last only as long as the call
// that hands it over.
class CKeyRecord {
 public:
  using Value = std::pair<std::string_view, std::string_view>;

  CKeyRecord(std::string_view name, std::span<const Value> values) : name_(name), values_(values) {}

  std::string_view name() const { return name_; }
  // In file order: of several of one name, the last counts.
  std::span<const Value> values() const { return values_; }
  // Of several values of one name the last counts, as in a value map.
  const std::string_view* findValue(std::string_view name) const {
    for (auto it = values_.rbegin(); it != values_.rend(); ++it)
      if (it->first == name) return &it->second;
    return nullptr;
  }
  std::string value(std::string_view name, std::string_view fallback = {}) const {
    const std::string_view* v = findValue(name);
    return std::string(v ? *v : fallback);
  }

 private:
  std::string_view name_;
  std::span<const Value> values_;
};

// Takes keys in tree order.
class IProfileVisitor {
 public:
  virtual ~IProfileVisitor() = default;
  virtual void enterKey(const CKeyRecord& key) = 0;
  // The innermost key still open has no more children.
  virtual void leaveKey() = 0;
};

// Every key below `key` (not `key` itself), in tree order.
void visitProfileChildren(const CProfileKey& key, IProfileVisitor& visitor);
// A stored key's values as a record holds them.
std::vector<CKeyRecord::Value> valueViews(const CProfileKey& key);

// Builds keys in tree order: a key begun while another is open is its
// child; a key's values come before its children.
class IProfileSink {
 public:
  virtual ~IProfileSink() = default;
  virtual void beginKey(std::string_view name) = 0;
  // The open key has a value map even if no value follows (an empty map
  // is stored apart from no map).
  virtual void valueMap() = 0;
  virtual void value(std::string_view name, std::string_view value) = 0;
  virtual void endKey() = 0;
};

// Appends what it receives below an existing key.
class CProfileTreeSink final : public IProfileSink {
 public:
  explicit CProfileTreeSink(CProfileKey& parent) : open_{&parent} {}

  void beginKey(std::string_view name) override { open_.push_back(&open_.back()->appendChild(std::string(name))); }
  void valueMap() override { open_.back()->createValueMap(); }
  void value(std::string_view name, std::string_view value) override {
    open_.back()->appendValue(std::string(name), std::string(value));
  }
  void endKey() override { open_.pop_back(); }

 private:
  std::vector<CProfileKey*> open_;
};

// Every key below `key` (not `key` itself) into `sink`.
void writeProfileChildren(const CProfileKey& key, IProfileSink& sink);

}  // namespace vexa
