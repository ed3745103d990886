#pragma once
// The system time as the repeat rules count it: 100 ns units since 1601.
#include <windows.h>

#include <cstdint>

namespace vexa::win {

inline uint64_t systemTime100ns() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

}  // namespace vexa::win
