#include "vexa/osd/win/osd_bar_window.h"

#include "vexa/osd/osd_geometry.h"
#include "vexa/osd/win/osd_drawing.h"
#include "vexa/winlib/unicode.h"

namespace vexa::osd::win {

namespace {

constexpr int kSmallerFont = -5;
constexpr int kLineHeight = 12;
constexpr int kTitleWidth = 200;

// Topmost, no taskbar button, and never activated by a click or by showing.
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;

}  // namespace

bool COsdBarWindow::Ensure(const OsdSettings& settings) {
  const bool recreate = IsCreated() && settings.transparent() != m_settings.transparent();
  m_settings = settings;
  m_font = createOsdFont(settings);
  m_smallFont = createOsdFont(settings, kSmallerFont);
  if (recreate) Destroy();
  if (IsCreated()) return true;
  if (!RegisterWindowClass(kBarWindowClass)) return false;
  if (!Create(kBarWindowClass, L"", WS_POPUP, kExStyle, {0, 0, 1, 1}, m_owner)) return false;
  // Without layered windows the key colour simply shows.
  m_layered = settings.transparent() && applyColourKey(Handle());
  return true;
}

void COsdBarWindow::ShowBar(const BarContent& content) {
  m_selector = false;
  m_content = content;
  m_caption = vexa::win::toWide(content.caption);
  m_extra = vexa::win::toWide(content.extra);
  m_lines.clear();
  Present();
}

void COsdBarWindow::ShowSelector(const SelectorView& view) {
  m_selector = true;
  m_content = {};
  m_title = vexa::win::toWide(view.title);
  m_caption = vexa::win::toWide(view.mainText);
  m_extra.clear();
  m_lines.clear();
  for (const auto& line : view.lines) m_lines.push_back(vexa::win::toWide(line));
  SetText(m_title);
  Present();
}

void COsdBarWindow::Present() {
  if (!IsCreated()) return;
  const Rect r = barWindowRect(m_settings.position, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  SetWindowPos(Handle(), HWND_TOPMOST, r.left, r.top, r.width(), r.height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
  // A burst of requests repaints this one window at once rather than queueing paints.
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
}

void COsdBarWindow::Hide() {
  StopTimer(kHideTimer);
  if (IsCreated()) ShowWindow(Handle(), SW_HIDE);
}

void COsdBarWindow::StartTimer(UINT_PTR id, UINT ms) {
  if (IsCreated()) SetTimer(Handle(), id, ms, nullptr);
}

void COsdBarWindow::StopTimer(UINT_PTR id) {
  if (IsCreated()) KillTimer(Handle(), id);
}

void COsdBarWindow::Paint(HDC target, const RECT& client) {
  CBufferedPaint buffer(target, client);
  const HDC dc = buffer.dc();
  const int w = client.right - client.left, h = client.bottom - client.top;
  fillRect(dc, {0, 0, w, h}, m_settings.paintedBackground());
  const BarLayout l = barLayout(w, h);
  const uint32_t text = m_settings.textColour;
  if (m_selector) {
    drawLayoutIcon(dc, l.leftIcon, text);
    drawText(dc, l.caption, m_caption, m_font.Get(), text, DT_SINGLELINE | DT_END_ELLIPSIS);
    drawText(dc, {w - kTitleWidth, 3, w - 5, 3 + kLineHeight + 2}, m_title, m_smallFont.Get(), text,
             DT_SINGLELINE | DT_RIGHT);
    int y = l.caption.bottom;
    for (const auto& line : m_lines) {
      drawText(dc, {l.caption.left + 10, y, l.caption.right, y + kLineHeight}, line, m_smallFont.Get(), text,
               DT_SINGLELINE | DT_END_ELLIPSIS);
      y += kLineHeight;
    }
    return;
  }
  drawBarIcon(dc, l.leftIcon, m_content.icon, text);
  if (m_content.speaker) drawSpeaker(dc, l.rightIcon, m_content.muted, text);
  drawText(dc, l.caption, m_caption + m_extra, m_font.Get(), text, DT_SINGLELINE | DT_END_ELLIPSIS);
  if (m_content.showBar) drawLevelBar(dc, l.bar, m_content.level);
}

LRESULT COsdBarWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (const auto handled = handleDisplayWindowMessage(Handle(), msg, [this](HDC dc, const RECT& client) {
        Paint(dc, client);
      }))
    return *handled;
  switch (msg) {
    case WM_TIMER:
      if (m_onTimer) m_onTimer(wp);
      return 0;
  }
  return CWindow::OnMessage(msg, wp, lp);
}

}  // namespace vexa::osd::win
