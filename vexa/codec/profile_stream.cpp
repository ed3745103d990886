#include "vexa/codec/profile_stream.h"

namespace vexa {

namespace {

// Keys from outside may nest arbitrarily deep: no recursion.
template <typename Enter, typename Leave>
void walkKeys(const CProfileKey& top, Enter&& enter, Leave&& leave) {
  struct Frame {
    const CProfileKey* key;
    size_t next;
  };
  std::vector<Frame> stack{{&top, 0}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next >= frame.key->childCount()) {
      stack.pop_back();
      if (!stack.empty()) leave();
      continue;
    }
    const CProfileKey& child = *frame.key->child(frame.next++);
    enter(child);
    stack.push_back({&child, 0});
  }
}

}  // namespace

std::vector<CKeyRecord::Value> valueViews(const CProfileKey& key) {
  std::vector<CKeyRecord::Value> views;
  views.reserve(key.values().size());
  for (const auto& [name, value] : key.values()) views.emplace_back(name, value);
  return views;
}

void visitProfileChildren(const CProfileKey& key, IProfileVisitor& visitor) {
  std::vector<CKeyRecord::Value> views;
  walkKeys(
      key,
      [&](const CProfileKey& k) {
        views.clear();
        for (const auto& [name, value] : k.values()) views.emplace_back(name, value);
        visitor.enterKey(CKeyRecord(k.name(), views));
      },
      [&] { visitor.leaveKey(); });
}

void writeProfileChildren(const CProfileKey& key, IProfileSink& sink) {
  walkKeys(
      key,
      [&](const CProfileKey& k) {
        sink.beginKey(k.name());
        if (k.hasValueMap()) sink.valueMap();
        for (const auto& [name, value] : k.values()) sink.value(name, value);
      },
      [&] { sink.endKey(); });
}

}  // namespace vexa
