#include "vexa/osd/win/osd_popup_window.h"

#include <algorithm>

#include "vexa/osd/osd_geometry.h"
#include "vexa/osd/text_wrap.h"
#include "vexa/osd/win/osd_drawing.h"
#include "vexa/winlib/unicode.h"

namespace vexa::osd::win {

namespace {

constexpr int kBodyDelta = -6;
constexpr int kEmphasisDelta = 10;
constexpr int kTextLeft = 52;
constexpr int kPad = 6;
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;

int fontHeight(HDC dc, HFONT font) {
  const HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  return tm.tmHeight;
}

}  // namespace

bool COsdPopupWindow::Ensure(const OsdSettings& settings, HBRUSH background) {
  const bool recreate = IsCreated() && settings.transparent() != m_settings.transparent();
  m_settings = settings;
  m_titleFont = createOsdFont(settings);
  m_bodyFont = createOsdFont(settings, kBodyDelta);
  m_emphasisFont = createOsdFont(settings, kEmphasisDelta);
  if (recreate) Destroy();
  if (IsCreated()) {
    SetClassLongPtrW(Handle(), GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(background));
    return true;
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(GetModuleHandleW(nullptr), kPopupWindowClass, &wc)) {
    // Its own class: redrawn whole on resize, in the background colour.
    if (!RegisterWindowClass(kPopupWindowClass)) return false;
  }
  if (!Create(kPopupWindowClass, L"", WS_POPUP, kExStyle, {0, 0, 1, 1}, m_owner)) return false;
  SetClassLongPtrW(Handle(), GCL_STYLE, CS_HREDRAW | CS_VREDRAW);
  SetClassLongPtrW(Handle(), GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(background));
  if (settings.transparent()) applyColourKey(Handle());
  return true;
}

bool COsdPopupWindow::Showing(uint32_t code, const void* object) const {
  return IsCreated() && IsVisible() && m_content.code == code && m_content.object == object;
}

int COsdPopupWindow::TextWidth() const {
  const Rect r = popupWindowRect(m_settings.position, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                 false);
  return r.width() - kTextLeft - kPad;
}

void COsdPopupWindow::Show(PopupContent content) {
  if (!IsCreated()) return;
  if (Showing(content.code, content.object)) {
    m_repeated = true;
  } else {
    m_repeated = false;
    m_content = std::move(content);
    m_title = vexa::win::toWide(m_content.title);
    const HDC dc = GetDC(Handle());
    const HGDIOBJ old = SelectObject(dc, m_bodyFont.Get());
    const auto measure = [dc](std::string_view text) {
      const std::wstring wide = vexa::win::toWide(text);
      SIZE size{};
      GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
      return static_cast<int>(size.cx);
    };
    m_lines.clear();
    for (const auto& line : wrapText(m_content.body, TextWidth(), measure)) {
      if (static_cast<int>(m_lines.size()) == kMaxLines) break;
      m_lines.push_back(vexa::win::toWide(line));
    }
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
  }
  Place();
  SetTimer(Handle(), kHideTimer, kVisibleMs, nullptr);
  SetTimer(Handle(), kTickTimer, kTickMs, nullptr);
}

void COsdPopupWindow::Place() {
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  Rect r = popupWindowRect(m_settings.position, screenW, screenH, false);
  const HDC dc = GetDC(Handle());
  const int needed = kPad + fontHeight(dc, m_titleFont.Get()) +
                     static_cast<int>(m_lines.size()) * fontHeight(dc, m_bodyFont.Get()) + kPad;
  ReleaseDC(Handle(), dc);
  // A long text makes the popup taller, upwards when there is no room below.
  const int height = std::max(kOsdHeight, needed);
  r.top = std::max(0, std::min(r.top, screenH - height - 10));
  SetWindowPos(Handle(), HWND_TOPMOST, r.left, r.top, r.width(), height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
}

void COsdPopupWindow::Hide() {
  if (!IsCreated()) return;
  KillTimer(Handle(), kHideTimer);
  KillTimer(Handle(), kTickTimer);
  ShowWindow(Handle(), SW_HIDE);
}

void COsdPopupWindow::Paint(HDC target, const RECT& client) {
  CBufferedPaint buffer(target, client);
  const HDC dc = buffer.dc();
  const int w = client.right - client.left, h = client.bottom - client.top;
  fillRect(dc, {0, 0, w, h}, m_settings.paintedBackground());
  const uint32_t text = m_settings.textColour;
  const int iconTop = std::min(19, (h - 32) / 2);
  if (m_repeated) {
    drawBarIcon(dc, {10, iconTop, 42, iconTop + 32}, BarIcon::ShutdownStepped, text);
  } else if (const HICON icon = m_content.ownedIcon ? m_content.ownedIcon.Get() : m_content.icon) {
    DrawIconEx(dc, 10, iconTop, icon, 32, 32, 0, nullptr, DI_NORMAL);
  }
  const int titleHeight = fontHeight(dc, m_titleFont.Get());
  drawText(dc, {kTextLeft, kPad, w - kPad, kPad + titleHeight}, m_title, m_titleFont.Get(), text,
           DT_SINGLELINE | DT_END_ELLIPSIS);
  const int lineHeight = fontHeight(dc, m_bodyFont.Get());
  int y = kPad + titleHeight;
  for (const auto& line : m_lines) {
    drawText(dc, {kTextLeft, y, w - kPad, y + lineHeight}, line, m_bodyFont.Get(), text, DT_SINGLELINE);
    y += lineHeight;
  }
}

LRESULT COsdPopupWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (const auto handled = handleDisplayWindowMessage(Handle(), msg, [this](HDC dc, const RECT& client) {
        Paint(dc, client);
      }))
    return *handled;
  switch (msg) {
    case WM_TIMER:
      if (wp == kHideTimer) {
        Hide();
      } else if (wp == kTickTimer) {
        // Stays above windows that became topmost since it appeared.
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
      }
      return 0;
  }
  return CWindow::OnMessage(msg, wp, lp);
}

}  // namespace vexa::osd::win
