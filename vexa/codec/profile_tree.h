#pragma once
// The in-memory form of every configuration file: named keys with ordered
// children and an optional map of named string values.
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexa {

class CProfileKey {
 public:
  using Value = std::pair<std::string, std::string>;

  explicit CProfileKey(std::string name, CProfileKey* parent = nullptr)
      : name_(std::move(name)), parent_(parent) {}
  CProfileKey(const CProfileKey&) = delete;
  CProfileKey& operator=(const CProfileKey&) = delete;
  ~CProfileKey();

  const std::string& name() const { return name_; }
  CProfileKey* parent() const { return parent_; }

  const std::vector<std::unique_ptr<CProfileKey>>& children() const { return children_; }
  size_t childCount() const { return children_.size(); }
  CProfileKey* child(size_t index) const { return index < children_.size() ? children_[index].get() : nullptr; }
  // First child with exactly this name.
  CProfileKey* findChild(std::string_view name) const;
  CProfileKey& appendChild(std::string name);
  CProfileKey& insertFirst(std::string name);
  CProfileKey& insertAfter(const CProfileKey& sibling, std::string name);

  // Drops this key's children and values and takes over those of `other`,
  // which is left empty. Lets a reader fill a scratch tree and commit it only
  // when the whole file was read.
  void replaceContents(CProfileKey& other);

  // The value map exists once a value was set (or an empty map was read).
  bool hasValueMap() const { return hasValueMap_; }
  void createValueMap() { hasValueMap_ = true; }
  const std::vector<Value>& values() const { return values_; }
  const std::string* findValue(std::string_view name) const;
  std::string value(std::string_view name, std::string_view fallback = {}) const;
  // Replaces an existing value of that name, else appends in insertion order.
  void setValue(std::string_view name, std::string_view value);
  // For readers and writers that know the names are new; keeps them linear.
  void appendValue(std::string name, std::string value);
  void reserveValues(size_t n) { values_.reserve(n); }
  void reserveChildren(size_t n) { children_.reserve(n); }

 private:
  std::string name_;
  CProfileKey* parent_;
  std::vector<std::unique_ptr<CProfileKey>> children_;
  std::vector<Value> values_;
  bool hasValueMap_ = false;
};

// The root key; it has no name and is never written itself.
class CProfileTree : public CProfileKey {
 public:
  CProfileTree() : CProfileKey(std::string()) {}
  CProfileKey* findTopKey(std::string_view name) const { return findChild(name); }
};

// Key names joined with backslashes from the top key down.
std::string keyPath(const CProfileKey& key);

}  // namespace vexa
