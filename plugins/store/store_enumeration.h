#pragma once
// The four enumeration exports over the store. A cursor is an index, never a
// node address, so that an edit of the store cannot leave it dangling: the
// command cursor counts commands of the remote last given to firstCommand.
#include <cstdint>
#include <string>

#include "plugins/store/command_store.h"

namespace vexa::store {

class CStoreEnumeration {
 public:
  explicit CStoreEnumeration(const CCommandStore& store) : m_store(store) {}

  // 1 with the first remote's name in out, 0 when the store is empty.
  intptr_t firstRemote(char* out) const;
  // Skips *index remotes and writes the next one, then counts it; 0 when none is left.
  int nextRemote(int* index, char* out) const;
  // Non-zero with the remote's first command in out; 0 for an unknown or empty remote.
  intptr_t firstCommand(const char* remote, char* out);
  int nextCommand(intptr_t* cursor, char* out) const;

 private:
  const CCommandStore& m_store;
  std::string m_remote;
};

}  // namespace vexa::store
