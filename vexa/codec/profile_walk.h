#pragma once
// Depth-first, pre-order visit of every key below the root without recursion:
// files from outside may nest keys arbitrarily deep.
#include <vector>

#include "vexa/codec/profile_tree.h"

namespace vexa {

// visit(key, positions) where positions[i] is the number of earlier siblings
// at level i, from the top key down to the key itself.
template <typename Visit>
void walkProfile(const CProfileKey& root, Visit&& visit) {
  struct Frame {
    const CProfileKey* key;
    size_t next;
  };
  std::vector<Frame> stack{{&root, 0}};
  std::vector<size_t> positions;
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next >= top.key->childCount()) {
      stack.pop_back();
      if (!positions.empty()) positions.pop_back();
      continue;
    }
    const size_t index = top.next++;
    const CProfileKey* child = top.key->child(index);
    positions.push_back(index);
    visit(*child, positions);
    stack.push_back({child, 0});
  }
}

}  // namespace vexa
