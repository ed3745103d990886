#pragma once
// Painting shared by the bar display and the popup: fonts from the
// settings, the background, the level bar and the small glyphs that stand
// in for icons.
#include <windows.h>

#include <functional>
#include <optional>

#include "vexa/osd/bar_caption.h"
#include "vexa/osd/osd_geometry.h"
#include "vexa/osd/osd_settings.h"
#include "vexa/winlib/gdi.h"

namespace vexa::osd::win {

inline RECT toRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
inline COLORREF colour(uint32_t value) { return static_cast<COLORREF>(value & 0xFFFFFF); }

// The settings' font, `delta` units larger (negative: smaller). A keyed
// (transparent) background gets no smoothing: blended edges would show the key.
vexa::win::CFont createOsdFont(const OsdSettings& settings, int delta = 0);

void fillRect(HDC dc, const Rect& r, uint32_t rgb);
void drawLevelBar(HDC dc, const Rect& bar, uint32_t level);
void drawBarIcon(HDC dc, const Rect& at, BarIcon icon, uint32_t textColour);
void drawSpeaker(HDC dc, const Rect& at, bool muted, uint32_t textColour);
void drawLayoutIcon(HDC dc, const Rect& at, uint32_t textColour);
void drawText(HDC dc, const Rect& at, const std::wstring& text, HFONT font, uint32_t rgb, UINT format);

// What every display window answers alike: painting through `paint`, no
// background erase (the paint covers it) and never taking the activation.
std::optional<LRESULT> handleDisplayWindowMessage(HWND window, UINT msg,
                                                  const std::function<void(HDC, const RECT&)>& paint);

// Offscreen painting: the whole window appears at once, without flicker.
class CBufferedPaint {
 public:
  CBufferedPaint(HDC target, const RECT& area);
  ~CBufferedPaint();
  CBufferedPaint(const CBufferedPaint&) = delete;
  CBufferedPaint& operator=(const CBufferedPaint&) = delete;
  HDC dc() const { return m_dc; }

 private:
  HDC m_target;
  RECT m_area;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
};

// SetLayeredWindowAttributes when the system has it (looked up at run time).
bool applyColourKey(HWND window);

}  // namespace vexa::osd::win
