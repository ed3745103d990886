#include "plugins/kit/device_info.h"

#include <cstring>

namespace vexa::kit {

std::string nameList(std::initializer_list<const char*> names) {
  std::string list;
  for (const char* name : names) list.append(name).push_back('\0');
  list.push_back('\0');
  return list;
}

char* fillDeviceInfo(abi::DeviceInfoRecord* out, const std::string& list, uint32_t selectorKind,
                     uint32_t capabilities) {
  // An empty list still ends in its double NUL.
  const size_t size = list.size() < 2 ? 2 : list.size();
  char* names = new char[size]();
  std::memcpy(names, list.data(), list.size());
  if (out) {
    out->size = abi::kDeviceInfoSize;
    out->deviceNames = names;
    out->selectorKind = selectorKind;
    out->capabilities = capabilities;
  }
  return names;
}

}  // namespace vexa::kit
