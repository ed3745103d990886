#pragma once
// The hidden top-level window that owns the on-screen displays. A shell
// gives a visible window without an owner a taskbar button, some even a tool
// window; an owned one gets none. Hidden, the owner is never minimised,
// which would hide the displays with it.
#include <windows.h>

#include "vexa/winlib/window.h"

namespace vexa::osd::win {

class CDisplayOwner : public vexa::win::CWindow {
 public:
  CDisplayOwner();
  ~CDisplayOwner() override { Destroy(); }
};

}  // namespace vexa::osd::win
