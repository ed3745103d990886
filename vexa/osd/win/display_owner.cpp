#include "vexa/osd/win/display_owner.h"

namespace vexa::osd::win {

CDisplayOwner::CDisplayOwner() {
  static const wchar_t kClass[] = L"VexaDisplayOwner";
  if (RegisterWindowClass(kClass)) Create(kClass, L"", WS_POPUP, WS_EX_TOOLWINDOW, {0, 0, 0, 0});
}

}  // namespace vexa::osd::win
