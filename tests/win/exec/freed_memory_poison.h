#pragma once
// A stand-in for an address sanitizer where none runs (mingw under Wine):
// while a CFreedMemoryPoison lives, every block the program frees through
// operator delete is kept back and filled with one pointer-sized value, so
// that code reading a freed object sees that value (a window handle the test
// watches, say) instead of the stale contents it would otherwise get away with.
#include <cstdint>

namespace vexa::test {

class CFreedMemoryPoison {
 public:
  explicit CFreedMemoryPoison(uintptr_t value);
  ~CFreedMemoryPoison();
  CFreedMemoryPoison(const CFreedMemoryPoison&) = delete;
  CFreedMemoryPoison& operator=(const CFreedMemoryPoison&) = delete;
};

}  // namespace vexa::test
