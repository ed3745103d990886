#include "plugins/store/store_enumeration.h"

#include <cstring>

namespace vexa::store {

namespace {

void copyName(const std::string& name, char* out) {
  const size_t length = std::min(name.size(), kMaxName);
  std::memcpy(out, name.data(), length);
  out[length] = '\0';
}

}  // namespace

intptr_t CStoreEnumeration::firstRemote(char* out) const {
  auto first = m_store.remoteAt(0);
  if (!first || !out) return 0;
  copyName(*first, out);
  return 1;
}

int CStoreEnumeration::nextRemote(int* index, char* out) const {
  if (!index || !out || *index < 0) return 0;
  auto name = m_store.remoteAt(static_cast<size_t>(*index));
  if (!name) return 0;
  copyName(*name, out);
  ++*index;
  return 1;
}

intptr_t CStoreEnumeration::firstCommand(const char* remote, char* out) {
  if (!remote || !out) return 0;
  auto list = m_store.commands(remote);
  if (!list || list->empty()) return 0;
  m_remote = remote;
  copyName(list->front().name, out);
  return 1;
}

int CStoreEnumeration::nextCommand(intptr_t* cursor, char* out) const {
  if (!cursor || !out || *cursor <= 0 || m_remote.empty()) return 0;
  auto list = m_store.commands(m_remote);
  if (!list || static_cast<size_t>(*cursor) >= list->size()) return 0;
  copyName((*list)[static_cast<size_t>(*cursor)].name, out);
  ++*cursor;
  return 1;
}

}  // namespace vexa::store
