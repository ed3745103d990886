// Replaces the program's global operator new and delete (this file is linked
// into exec_tests only): blocks come from malloc, so that their size is known
// when they are freed.
#include "freed_memory_poison.h"

#include <windows.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Process-wide by nature: operator delete has nowhere else to look.
std::atomic<uintptr_t> g_poison{0};
SRWLOCK g_keptLock = SRWLOCK_INIT;
constexpr size_t kKeptMax = 8192;
void* g_kept[kKeptMax];
size_t g_keptCount = 0;

void release(void* block) {
  if (!block) return;
  const uintptr_t value = g_poison.load();
  if (value == 0) {
    std::free(block);
    return;
  }
  auto* slots = static_cast<uintptr_t*>(block);
  for (size_t i = 0, n = _msize(block) / sizeof(uintptr_t); i < n; ++i) slots[i] = value;
  AcquireSRWLockExclusive(&g_keptLock);
  if (g_keptCount < kKeptMax) g_kept[g_keptCount++] = block;  // beyond that it is left, poisoned
  ReleaseSRWLockExclusive(&g_keptLock);
}

void* allocate(size_t size) {
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(size_t size) { return allocate(size); }
void* operator new[](size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { release(block); }
void operator delete[](void* block) noexcept { release(block); }
void operator delete(void* block, size_t) noexcept { release(block); }
void operator delete[](void* block, size_t) noexcept { release(block); }

namespace vexa::test {

CFreedMemoryPoison::CFreedMemoryPoison(uintptr_t value) { g_poison = value; }

CFreedMemoryPoison::~CFreedMemoryPoison() {
  g_poison = 0;
  AcquireSRWLockExclusive(&g_keptLock);
  for (size_t i = 0; i < g_keptCount; ++i) std::free(g_kept[i]);
  g_keptCount = 0;
  ReleaseSRWLockExclusive(&g_keptLock);
}

}  // namespace vexa::test
