#include "vexa/codec/profile_tree.h"

#include <algorithm>

namespace vexa {

CProfileKey::~CProfileKey() {
  // Deep trees would recurse once per level; flatten the teardown instead.
  std::vector<std::unique_ptr<CProfileKey>> pending = std::move(children_);
  while (!pending.empty()) {
    std::unique_ptr<CProfileKey> key = std::move(pending.back());
    pending.pop_back();
    for (auto& c : key->children_) pending.push_back(std::move(c));
    key->children_.clear();
  }
}

CProfileKey* CProfileKey::findChild(std::string_view name) const {
  for (const auto& c : children_)
    if (c->name_ == name) return c.get();
  return nullptr;
}

CProfileKey& CProfileKey::appendChild(std::string name) {
  children_.push_back(std::make_unique<CProfileKey>(std::move(name), this));
  return *children_.back();
}

CProfileKey& CProfileKey::insertFirst(std::string name) {
  children_.insert(children_.begin(), std::make_unique<CProfileKey>(std::move(name), this));
  return *children_.front();
}

CProfileKey& CProfileKey::insertAfter(const CProfileKey& sibling, std::string name) {
  auto it = std::find_if(children_.begin(), children_.end(),
                         [&](const auto& c) { return c.get() == &sibling; });
  if (it != children_.end()) ++it;
  it = children_.insert(it, std::make_unique<CProfileKey>(std::move(name), this));
  return **it;
}

void CProfileKey::replaceContents(CProfileKey& other) {
  if (&other == this) return;
  {
    CProfileKey discard(std::string{});
    discard.children_ = std::move(children_);
  }
  children_ = std::move(other.children_);
  other.children_.clear();
  for (auto& c : children_) c->parent_ = this;
  values_ = std::move(other.values_);
  other.values_.clear();
  hasValueMap_ = other.hasValueMap_;
  other.hasValueMap_ = false;
}

const std::string* CProfileKey::findValue(std::string_view name) const {
  for (const auto& v : values_)
    if (v.first == name) return &v.second;
  return nullptr;
}

std::string CProfileKey::value(std::string_view name, std::string_view fallback) const {
  const std::string* v = findValue(name);
  return v ? *v : std::string(fallback);
}

void CProfileKey::setValue(std::string_view name, std::string_view value) {
  hasValueMap_ = true;
  for (auto& v : values_)
    if (v.first == name) {
      v.second = value;
      return;
    }
  values_.emplace_back(std::string(name), std::string(value));
}

void CProfileKey::appendValue(std::string name, std::string value) {
  hasValueMap_ = true;
  values_.emplace_back(std::move(name), std::move(value));
}

std::string keyPath(const CProfileKey& key) {
  std::vector<const CProfileKey*> chain;
  for (const CProfileKey* k = &key; k && k->parent(); k = k->parent()) chain.push_back(k);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!path.empty()) path += '\\';
    path += (*it)->name();
  }
  return path;
}

}  // namespace vexa
