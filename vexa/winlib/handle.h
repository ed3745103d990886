#pragma once
// Kernel object handle (file, thread, process, mutex, event, ...).
#include <windows.h>

#include "vexa/winlib/unique_handle.h"

namespace vexa::win {

struct KernelHandleTraits {
  using Type = HANDLE;
  // CreateFile reports failure as INVALID_HANDLE_VALUE, everything else as null;
  // callers normalise to null so that one "none" value suffices.
  static Type None() { return nullptr; }
  static bool Free(Type h) { return CloseHandle(h) != FALSE; }
};

class CHandle : public CUniqueHandle<KernelHandleTraits> {
 public:
  using CUniqueHandle::CUniqueHandle;

  // Returns true when the object became signalled within the time-out.
  bool Wait(DWORD milliseconds = INFINITE) const {
    return WaitForSingleObject(Get(), milliseconds) == WAIT_OBJECT_0;
  }
};

}  // namespace vexa::win
