#pragma once
// The second generation's DeviceInfo answer: the model list, allocated here
// and freed by the host with delete[].
#include <cstdint>
#include <initializer_list>
#include <string>

#include "vexa/device/plugin_abi.h"

namespace vexa::kit {

// Consecutive NUL-terminated names closed by an extra NUL.
std::string nameList(std::initializer_list<const char*> names);
// Fills the record (when given) and returns the list it points to.
char* fillDeviceInfo(abi::DeviceInfoRecord* out, const std::string& list, uint32_t selectorKind,
                     uint32_t capabilities);

}  // namespace vexa::kit
