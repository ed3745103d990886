#pragma once
// A port read returns one word that carries both the value and the failure:
// the value in the bits it needs, the request's error code in the rest.

#include <cstdint>

namespace vexa::hwport {

constexpr uint32_t byteReadResult(uint32_t errorCode, uint32_t driverWord) {
  return (errorCode & 0xFFFFFF00u) | (driverWord & 0xFFu);
}
constexpr uint32_t wordReadResult(uint32_t errorCode, uint32_t driverWord) {
  return (errorCode & 0xFFFF0000u) | (driverWord & 0xFFFFu);
}

}  // namespace vexa::hwport
