#pragma once
// Text that copies share instead of duplicating: a value repeated across
// thousands of records (an action's type name) is held once. It never
// changes in place; assigning gives the holder other text.
#include <concepts>
#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vexa {

class CSharedText {
 public:
  CSharedText() = default;
  CSharedText(std::string_view text) : CSharedText(std::string(text)) {}
  CSharedText(const char* text) : CSharedText(std::string_view(text)) {}
  CSharedText(const std::string& text) : CSharedText(std::string(text)) {}
  CSharedText(std::string&& text)
      : text_(text.empty() ? nullptr : std::make_shared<const std::string>(std::move(text))) {}

  const std::string& str() const { return text_ ? *text_ : empty_; }
  operator const std::string&() const { return str(); }
  operator std::string_view() const { return str(); }

  bool empty() const { return !text_; }
  size_t size() const { return str().size(); }
  const char* c_str() const { return str().c_str(); }
  const char* data() const { return str().data(); }
  // Whether both hold the very same text object, not merely equal text.
  bool sharesWith(const CSharedText& other) const { return text_ == other.text_; }

  friend bool operator==(const CSharedText& a, const CSharedText& b) { return a.text_ == b.text_ || a.str() == b.str(); }
  template <typename Text>
    requires std::convertible_to<const Text&, std::string_view>
  friend bool operator==(const CSharedText& a, const Text& b) {
    return a.str() == std::string_view(b);
  }
  friend std::ostream& operator<<(std::ostream& out, const CSharedText& text);

 private:
  static inline const std::string empty_;
  std::shared_ptr<const std::string> text_;  // null for empty text
};

// Hands out one shared copy of each distinct text it is given, so that a
// file's repeated values cost one string each. Lives as long as one load;
// past kMaxDistinct texts, new ones are no longer remembered, so that a
// file of all-different values costs no more than copying them.
class CTextInterner {
 public:
  static constexpr size_t kMaxDistinct = 4096;

  CSharedText intern(std::string_view text) {
    if (text.empty()) return {};
    if (text == last_) return last_;
    auto it = seen_.find(text);
    if (it == seen_.end()) {
      CSharedText shared(text);
      if (seen_.size() >= kMaxDistinct) return shared;
      it = seen_.emplace(std::string_view(shared), shared).first;  // the key views the shared text itself
    }
    last_ = it->second;
    return last_;
  }

 private:
  std::unordered_map<std::string_view, CSharedText> seen_;
  CSharedText last_;
};

}  // namespace vexa
