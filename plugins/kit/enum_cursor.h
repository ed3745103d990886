#pragma once
// First-generation enumeration (GetFirstRmt/GetNextRmt, GetFirstCmd/GetNextCmd)
// over a list of names. The cursor is the index of the next name, never a
// pointer (GetNextCmd's is pointer-sized in the contract; an index fits either).
#include <string>
#include <vector>

namespace vexa::kit {

inline constexpr size_t kMaxEnumName = 255;  // the host's buffers hold more; names never do

class CNameCursor {
 public:
  // Writes the first name into out; the cursor to pass on, 0 when there is none.
  static int first(const std::vector<std::string>& names, char* out);
  // Writes the name at *cursor and advances; 0 when the list is exhausted
  // (or the cursor is not one this list handed out).
  static int next(const std::vector<std::string>& names, int* cursor, char* out);
};

}  // namespace vexa::kit
