#include "vexa/osd/win/osd_drawing.h"

#include "vexa/winlib/unicode.h"

namespace vexa::osd::win {

namespace {

constexpr uint32_t kUnfilled = 0x444444;  // RGB(68,68,68)
constexpr uint32_t kLowZone = 0x00C000;   // 0x00BBGGRR
constexpr uint32_t kMiddleZone = 0x00D0FF;
constexpr uint32_t kHighZone = 0x0000FF;
constexpr uint32_t kMutedCross = 0x0000FF;

class CSelect {
 public:
  CSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
  ~CSelect() { SelectObject(m_dc, m_old); }
  CSelect(const CSelect&) = delete;
  CSelect& operator=(const CSelect&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// A zone's pattern: its colour with a darker stripe every fourth column.
void fillZone(HDC dc, const Rect& r, uint32_t rgb) {
  if (r.width() <= 0) return;
  fillRect(dc, r, rgb);
  const uint32_t dark = (rgb >> 1) & 0x7F7F7F;
  for (int x = r.left + 3; x < r.right; x += 4) fillRect(dc, {x, r.top, x + 1, r.bottom}, dark);
}

}  // namespace

vexa::win::CFont createOsdFont(const OsdSettings& settings, int delta) {
  const OsdFont& f = settings.font;
  // Heights are negative (character height): larger means more negative.
  const int height = f.height < 0 ? f.height - delta : f.height + delta;
  vexa::win::CFont font(CreateFontW(height, 0, 0, 0, f.weight, f.italic, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    settings.transparent() ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, vexa::win::toWide(f.face).c_str()));
  return font;
}

void fillRect(HDC dc, const Rect& r, uint32_t rgb) {
  const RECT area = toRect(r);
  SetBkColor(dc, colour(rgb));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

void drawLevelBar(HDC dc, const Rect& bar, uint32_t level) {
  const LevelZones z = levelZones(bar, level);
  fillZone(dc, z.low, kLowZone);
  fillZone(dc, z.middle, kMiddleZone);
  fillZone(dc, z.high, kHighZone);
  if (z.rest.width() > 0) fillRect(dc, z.rest, kUnfilled);
  RECT frame = toRect(bar);
  InflateRect(&frame, 2, 2);
  DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
}

void drawText(HDC dc, const Rect& at, const std::wstring& text, HFONT font, uint32_t rgb, UINT format) {
  CSelect selected(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour(rgb));
  RECT area = toRect(at);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format | DT_NOPREFIX);
}

void drawBarIcon(HDC dc, const Rect& at, BarIcon icon, uint32_t textColour) {
  const wchar_t* letter = nullptr;
  switch (icon) {
    case BarIcon::None: return;
    case BarIcon::Volume: drawSpeaker(dc, at, false, textColour); return;
    case BarIcon::Panning: letter = L"\u2194"; break;
    case BarIcon::Fader: letter = L"\u2195"; break;
    case BarIcon::Treble: letter = L"T"; break;
    case BarIcon::Bass: letter = L"B"; break;
    case BarIcon::ShutdownStepped: letter = L"+"; break;
    case BarIcon::ShutdownCountdown: letter = L"\u25F4"; break;
    case BarIcon::ShutdownOff: letter = L"\u00D7"; break;
  }
  vexa::win::CPen pen(CreatePen(PS_SOLID, 2, colour(textColour)));
  CSelect p(dc, pen.Get());
  CSelect b(dc, GetStockObject(NULL_BRUSH));
  Ellipse(dc, at.left + 1, at.top + 1, at.right - 1, at.bottom - 1);
  vexa::win::CFont font(CreateFontW(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Arial"));
  drawText(dc, at, letter, font.Get(), textColour, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void drawSpeaker(HDC dc, const Rect& at, bool muted, uint32_t textColour) {
  const int x = at.left, y = at.top, s = at.width();
  const POINT body[] = {{x + s / 8, y + s * 3 / 8}, {x + s * 3 / 8, y + s * 3 / 8}, {x + s * 5 / 8, y + s / 8},
                        {x + s * 5 / 8, y + s * 7 / 8}, {x + s * 3 / 8, y + s * 5 / 8}, {x + s / 8, y + s * 5 / 8}};
  vexa::win::CBrush brush(CreateSolidBrush(colour(textColour)));
  vexa::win::CPen pen(CreatePen(PS_SOLID, 1, colour(textColour)));
  {
    CSelect b(dc, brush.Get());
    CSelect p(dc, pen.Get());
    Polygon(dc, body, 6);
  }
  vexa::win::CPen wave(CreatePen(PS_SOLID, 3, colour(muted ? kMutedCross : textColour)));
  CSelect p(dc, wave.Get());
  if (muted) {
    MoveToEx(dc, x + s * 11 / 16, y + s * 5 / 16, nullptr);
    LineTo(dc, x + s * 15 / 16, y + s * 11 / 16);
    MoveToEx(dc, x + s * 15 / 16, y + s * 5 / 16, nullptr);
    LineTo(dc, x + s * 11 / 16, y + s * 11 / 16);
  } else {
    CSelect b(dc, GetStockObject(NULL_BRUSH));
    Arc(dc, x + s / 2, y + s / 4, x + s * 7 / 8, y + s * 3 / 4, x + s, y + s * 7 / 8, x + s, y + s / 8);
  }
}

void drawLayoutIcon(HDC dc, const Rect& at, uint32_t textColour) {
  const int step = at.height() / 4;
  for (int i = 0; i < 3; ++i) {
    const int top = at.top + step / 2 + i * step;
    fillRect(dc, {at.left + 2 + i * 3, top, at.right - 2, top + step - 2}, textColour);
  }
}

CBufferedPaint::CBufferedPaint(HDC target, const RECT& area) : m_target(target), m_area(area) {
  m_dc = CreateCompatibleDC(target);
  m_bitmap = CreateCompatibleBitmap(target, area.right - area.left, area.bottom - area.top);
  m_old = SelectObject(m_dc, m_bitmap);
}

CBufferedPaint::~CBufferedPaint() {
  BitBlt(m_target, m_area.left, m_area.top, m_area.right - m_area.left, m_area.bottom - m_area.top, m_dc, 0, 0,
         SRCCOPY);
  SelectObject(m_dc, m_old);
  DeleteObject(m_bitmap);
  DeleteDC(m_dc);
}

bool applyColourKey(HWND window) {
  using SetLayered = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  const HMODULE user = GetModuleHandleW(L"user32.dll");
  const auto set =
      user ? reinterpret_cast<SetLayered>(reinterpret_cast<void*>(GetProcAddress(user, "SetLayeredWindowAttributes")))
           : nullptr;
  if (!set) return false;
  SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
  return set(window, colour(OsdSettings::kColourKey), 0, LWA_COLORKEY) != FALSE;
}

std::optional<LRESULT> handleDisplayWindowMessage(HWND window, UINT msg,
                                                  const std::function<void(HDC, const RECT&)>& paint) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(window, &ps);
      RECT client;
      GetClientRect(window, &client);
      paint(dc, client);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    default:
      return std::nullopt;
  }
}

}  // namespace vexa::osd::win
