#pragma once
// One physical window mapped for every process at once: the first mapping asks
// the driver, later ones of the same base only count, and the last unmapping
// releases it. The state is plain data so that it can live in memory that all
// processes share.

#include <cstdint>
#include <functional>

namespace vexa::hwport {

struct SharedMapping {
  uint32_t base;
  uint32_t count;
};

class MappingCounter {
 public:
  using MapRequest = std::function<uint32_t(uint32_t base, uint32_t size)>;
  using UnmapRequest = std::function<void(uint32_t base, uint32_t size)>;

  explicit MappingCounter(SharedMapping& state) : state_(state) {}

  // Returns the driver's word, or 1 when the base was already mapped.
  uint32_t map(uint32_t base, uint32_t size, const MapRequest& send);
  void unmap(uint32_t base, uint32_t size, const UnmapRequest& send);

 private:
  SharedMapping& state_;
};

}  // namespace vexa::hwport
