#include "plugins/kit/enum_cursor.h"

#include <algorithm>
#include <cstring>

namespace vexa::kit {

namespace {
void copyName(const std::string& name, char* out) {
  const size_t length = std::min(name.size(), kMaxEnumName);
  std::memcpy(out, name.data(), length);
  out[length] = '\0';
}
}  // namespace

int CNameCursor::first(const std::vector<std::string>& names, char* out) {
  if (names.empty() || !out) return 0;
  copyName(names.front(), out);
  return 1;
}

int CNameCursor::next(const std::vector<std::string>& names, int* cursor, char* out) {
  if (!cursor || !out || *cursor <= 0 || static_cast<size_t>(*cursor) >= names.size()) return 0;
  copyName(names[static_cast<size_t>(*cursor)], out);
  ++*cursor;
  return 1;
}

}  // namespace vexa::kit
