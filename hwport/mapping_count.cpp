#include "hwport/mapping_count.h"

namespace vexa::hwport {

uint32_t MappingCounter::map(uint32_t base, uint32_t size, const MapRequest& send) {
  if (state_.count == 0) {
    state_.count = 1;
    state_.base = base;
    const uint32_t word = send(base, size);
    // A window the driver refused is not there to share.
    if (word == 0) state_ = SharedMapping{0, 0};
    return word;
  }
  if (base == state_.base) {
    ++state_.count;
    return 1;
  }
  return send(base, size);
}

void MappingCounter::unmap(uint32_t base, uint32_t size, const UnmapRequest& send) {
  if (state_.count == 0 || base != state_.base) {
    send(base, size);
    return;
  }
  if (--state_.count > 0) return;
  state_.base = 0;
  send(base, size);
}

}  // namespace vexa::hwport
