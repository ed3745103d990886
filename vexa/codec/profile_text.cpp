#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "vexa/codec/profile_codec.h"
#include "vexa/codec/profile_writers.h"

namespace vexa {

bool looksLikeText(std::string_view bytes) {
  if (bytes.size() < 5) return false;
  for (size_t i = 0; i < 5; ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (!((c >= 32 && c <= 127) || c == '\n' || c == '\r')) return false;
  }
  return true;
}

namespace {

class TextReader {
 public:
  explicit TextReader(CProfileTree& tree) : tree_(tree) {}

  void line(std::string_view l) {
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    if (l.empty()) return;
    if (l.front() == '[') {
      const size_t close = l.rfind(']');
      current_ = &keyAt(close == std::string_view::npos || close == 0 ? l.substr(1) : l.substr(1, close - 1));
      return;
    }
    const size_t eq = l.find('=');
    if (!current_ || eq == std::string_view::npos) return;  // not a value line
    setValue(*current_, l.substr(0, eq), l.substr(eq + 1));
  }

 private:
  // Files are mostly written in tree order, so a section shares most of its
  // path with the one before; only the rest is looked up, and children are
  // indexed by name so that thousands of siblings are not searched.
  CProfileKey& keyAt(std::string_view path) {
    CProfileKey* key = &tree_;
    size_t level = 0;
    size_t start = 0;
    for (;;) {
      const size_t slash = path.find('\\', start);
      const std::string_view name = path.substr(start, slash == std::string_view::npos ? path.npos : slash - start);
      if (level < lastPath_.size() && lastPath_[level].first == name) {
        key = lastPath_[level].second;
      } else {
        lastPath_.resize(level);
        key = &childOf(*key, name);
        lastPath_.emplace_back(std::string(name), key);
      }
      ++level;
      if (slash == std::string_view::npos) break;
      start = slash + 1;
    }
    lastPath_.resize(level);
    return *key;
  }

  // Small families are searched; large ones get a name index, kept up to date
  // from then on, so thousands of siblings cost no more than a few.
  CProfileKey& childOf(CProfileKey& parent, std::string_view name) {
    auto indexed = index_.find(&parent);
    if (indexed == index_.end() && parent.childCount() >= kIndexFrom) {
      auto& fresh = index_[&parent];
      for (const auto& c : parent.children()) fresh.emplace(c->name(), c.get());
      indexed = index_.find(&parent);
    }
    if (indexed != index_.end()) {
      if (auto it = indexed->second.find(name); it != indexed->second.end()) return *it->second;
      CProfileKey& child = parent.appendChild(std::string(name));
      indexed->second.emplace(child.name(), &child);
      return child;
    }
    if (CProfileKey* existing = parent.findChild(name)) return *existing;
    return parent.appendChild(std::string(name));
  }

  // A later line of the same name replaces the earlier one. Keys with many
  // values get an index so a large section still reads in linear time.
  void setValue(CProfileKey& key, std::string_view name, std::string_view value) {
    if (key.values().size() < kIndexFrom) {
      key.setValue(name, value);
      return;
    }
    auto& index = valueIndex_[&key];
    if (index.empty())
      for (size_t i = 0; i < key.values().size(); ++i) index.emplace(key.values()[i].first, i);
    if (index.count(std::string(name))) {
      key.setValue(name, value);
      return;
    }
    index.emplace(std::string(name), key.values().size());
    key.appendValue(std::string(name), std::string(value));
  }

  static constexpr size_t kIndexFrom = 16;
  CProfileTree& tree_;
  CProfileKey* current_ = nullptr;
  std::unordered_map<const CProfileKey*, std::unordered_map<std::string, size_t>> valueIndex_;
  std::unordered_map<const CProfileKey*, std::unordered_map<std::string_view, CProfileKey*>> index_;
  std::vector<std::pair<std::string, CProfileKey*>> lastPath_;
};

// Hands each section's key to a visitor as soon as its values are read.
// That needs the sections in tree order, each key once, as writers put
// them: a section that comes back to a key already there (open or ended)
// stops it, since its values or children would join that key.
class TextStreamReader {
 public:
  explicit TextStreamReader(IProfileVisitor& visitor) : visitor_(visitor) { open_.emplace_back(); }

  bool run(std::string_view text) {
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      if (!line(text.substr(start, end - start))) return false;
      start = end + 1;
    }
    enterPending();
    while (depth_ > 0) leave();
    return true;
  }

 private:
  // The names of a key's children so far: few are searched, many indexed.
  class ChildNames {
   public:
    void clear() {
      names_.clear();
      index_.clear();
    }
    // False when the name is taken.
    bool add(std::string_view name) {
      if (!index_.empty()) return index_.insert(name).second;
      if (std::find(names_.begin(), names_.end(), name) != names_.end()) return false;
      names_.push_back(name);
      if (names_.size() > kSearched) index_.insert(names_.begin(), names_.end());
      return true;
    }

   private:
    static constexpr size_t kSearched = 16;
    std::vector<std::string_view> names_;
    std::unordered_set<std::string_view> index_;
  };

  struct Level {
    std::string_view name;
    ChildNames children;
  };

  bool line(std::string_view l) {
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    if (l.empty()) return true;
    if (l.front() == '[') {
      const size_t close = l.rfind(']');
      return section(close == std::string_view::npos || close == 0 ? l.substr(1) : l.substr(1, close - 1));
    }
    const size_t eq = l.find('=');
    if (pending_ && eq != std::string_view::npos) values_.emplace_back(l.substr(0, eq), l.substr(eq + 1));
    return true;
  }

  bool section(std::string_view path) {
    enterPending();
    path_.clear();
    for (size_t start = 0;;) {
      const size_t slash = path.find('\\', start);
      path_.push_back(path.substr(start, slash == std::string_view::npos ? path.npos : slash - start));
      if (slash == std::string_view::npos) break;
      start = slash + 1;
    }
    size_t shared = 0;
    while (shared < path_.size() && shared < depth_ && open_[shared + 1].name == path_[shared]) ++shared;
    if (shared == path_.size()) return false;  // a key already open
    while (depth_ > shared) leave();
    for (size_t i = shared; i < path_.size(); ++i) {
      if (!open_[depth_].children.add(path_[i])) return false;  // a key that has ended
      push(path_[i]);
      if (i + 1 < path_.size()) visitor_.enterKey(CKeyRecord(path_[i], {}));
    }
    pending_ = true;
    return true;
  }

  void push(std::string_view name) {
    if (++depth_ == open_.size()) open_.emplace_back();
    open_[depth_].name = name;
    open_[depth_].children.clear();
  }

  void enterPending() {
    if (!pending_) return;
    visitor_.enterKey(CKeyRecord(open_[depth_].name, values_));
    values_.clear();
    pending_ = false;
  }

  void leave() {
    --depth_;
    visitor_.leaveKey();
  }

  IProfileVisitor& visitor_;
  std::vector<Level> open_;  // the root, then each open key; kept for their space
  size_t depth_ = 0;
  bool pending_ = false;  // the innermost key waits for its values
  std::vector<CKeyRecord::Value> values_;
  std::vector<std::string_view> path_;
};

}  // namespace

bool streamProfileText(std::string_view text, IProfileVisitor& visitor) { return TextStreamReader(visitor).run(text); }

void readProfileText(std::string_view text, CProfileTree& tree) {
  TextReader reader(tree);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    reader.line(text.substr(start, end - start));
    start = end + 1;
  }
}

std::string writeProfileText(const CProfileTree& tree) {
  CTextProfileWriter out(nullptr);
  writeProfileChildren(tree, out);
  return out.take();
}

void CTextProfileWriter::beginKey(std::string_view name) {
  pathLengths_.push_back(path_.size());
  if (pathLengths_.size() > 1) path_ += '\\';  // names may be empty: the depth counts
  append(path_, name);
  out_ += '[';
  out_ += path_;
  out_ += "]\n";
}

void CTextProfileWriter::value(std::string_view name, std::string_view value) {
  append(out_, name);
  out_ += '=';
  append(out_, value);
  out_ += '\n';
}

void CTextProfileWriter::endKey() {
  path_.resize(pathLengths_.back());
  pathLengths_.pop_back();
}

void CTextProfileWriter::append(std::string& to, std::string_view utf8) const {
  if (!codePage_ || isAscii(utf8))
    to += utf8;
  else
    to += codePage_->fromUtf8(utf8);
}

}  // namespace vexa
