#pragma once
// GDI objects (brush, pen, font, bitmap), icons and image lists.
#include <windows.h>

#include <commctrl.h>

#include "vexa/winlib/unique_handle.h"

namespace vexa::win {

template <class T>
struct GdiObjectTraits {
  using Type = T;
  static Type None() { return nullptr; }
  static bool Free(Type h) { return DeleteObject(h) != FALSE; }
};

template <class T>
using CGdiObject = CUniqueHandle<GdiObjectTraits<T>>;
using CBrush = CGdiObject<HBRUSH>;
using CPen = CGdiObject<HPEN>;
using CFont = CGdiObject<HFONT>;
using CBitmap = CGdiObject<HBITMAP>;

struct IconTraits {
  using Type = HICON;
  static Type None() { return nullptr; }
  static bool Free(Type h) { return DestroyIcon(h) != FALSE; }
};

class CIcon : public CUniqueHandle<IconTraits> {
 public:
  using CUniqueHandle::CUniqueHandle;

  // Loads an icon resource at the given size (0 = the system's size for that use).
  bool Load(HINSTANCE instance, int resourceId, int cx = 0, int cy = 0) {
    const UINT flags = (cx == 0 && cy == 0) ? LR_DEFAULTSIZE : 0;
    Attach(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, cx, cy, flags)));
    return IsValid();
  }
};

struct ImageListTraits {
  using Type = HIMAGELIST;
  static Type None() { return nullptr; }
  static bool Free(Type h) { return ImageList_Destroy(h) != FALSE; }
};
using CImageList = CUniqueHandle<ImageListTraits>;

}  // namespace vexa::win
