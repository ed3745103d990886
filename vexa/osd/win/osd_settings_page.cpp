#include "vexa/osd/win/osd_settings_page.h"

#include <commdlg.h>

#include <string>

#include "vexa/osd/win/osd_resource.h"
#include "vexa/winlib/unicode.h"

namespace vexa::osd::win {

namespace {

std::optional<uint32_t> askColour(HWND owner, uint32_t current) {
  static_assert(sizeof(COLORREF) == sizeof(uint32_t));
  COLORREF custom[16] = {};
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = owner;
  cc.rgbResult = current & 0xFFFFFF;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&cc)) return std::nullopt;
  return static_cast<uint32_t>(cc.rgbResult);
}

std::optional<OsdFont> askFont(HWND owner, const OsdFont& current) {
  LOGFONTW lf{};
  lf.lfHeight = current.height;
  lf.lfWeight = current.weight;
  lf.lfItalic = current.italic;
  lf.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = vexa::win::toWide(current.face).substr(0, LF_FACESIZE - 1);
  face.copy(lf.lfFaceName, face.size());
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof(cf);
  cf.hwndOwner = owner;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  if (!ChooseFontW(&cf)) return std::nullopt;
  OsdFont font;
  font.height = lf.lfHeight;
  font.weight = lf.lfWeight;
  font.italic = lf.lfItalic != 0;
  font.face = vexa::win::toUtf8(lf.lfFaceName);
  return font;
}

std::string fontDescription(const OsdFont& font) {
  std::string text = font.face + ", " + std::to_string(font.height < 0 ? -font.height : font.height);
  if (font.weight >= FW_BOLD) text += ", bold";
  if (font.italic) text += ", italic";
  return text;
}

}  // namespace

bool COsdSettingsPage::Create(HWND parent, HINSTANCE instance, POINT position) {
  if (!chooseColour) chooseColour = askColour;
  if (!chooseFont) chooseFont = askFont;
  if (!CModelessDialog::Create(parent, instance, IDD_OSD_SETTINGS)) return false;
  SetWindowPos(Handle(), nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

bool COsdSettingsPage::OnInitDialog() {
  for (OsdPosition p : {OsdPosition::Top, OsdPosition::Center, OsdPosition::Bottom})
    SendItem(IDC_OSD_POSITION, CB_ADDSTRING, 0,
             reinterpret_cast<LPARAM>(vexa::win::toWide(positionName(p)).c_str()));
  Fill();
  return true;
}

void COsdSettingsPage::Load(const OsdSettings& settings) {
  m_settings = settings;
  if (!settings.transparent()) m_opaqueBackground = settings.backgroundColour;
  if (Handle()) Fill();
}

void COsdSettingsPage::Fill() {
  m_filling = true;
  SendItem(IDC_OSD_POSITION, CB_SETCURSEL, static_cast<WPARAM>(m_settings.position));
  SetItemInt(IDC_OSD_TIMEOUT, static_cast<int>(m_settings.timeoutSeconds));
  CheckButton(IDC_OSD_TRANSPARENT, m_settings.transparent());
  EnableItem(IDC_OSD_BACKGROUND, !m_settings.transparent());
  SetItemText(IDC_OSD_FONT_NAME, fontDescription(m_settings.font));
  const bool extra = m_settings.selectorMode == SelectorMode::ExtraButton;
  CheckButton(IDC_OSD_SINGLE_BUTTON, !extra);
  CheckButton(IDC_OSD_EXTRA_BUTTON, extra);
  SetItemText(IDC_OSD_SELECTOR_COMMAND, m_settings.selectorCommand);
  EnableItem(IDC_OSD_SELECTOR_COMMAND, extra);
  m_filling = false;
}

const OsdSettings& COsdSettingsPage::Read() {
  if (!Handle()) return m_settings;
  const LRESULT position = SendItem(IDC_OSD_POSITION, CB_GETCURSEL);
  if (position >= 0 && position <= 2) m_settings.position = static_cast<OsdPosition>(position);
  // An empty or zero time-out keeps the last good one: the display must stay up a moment.
  if (const auto timeout = ItemInt(IDC_OSD_TIMEOUT); timeout && *timeout > 0)
    m_settings.timeoutSeconds = static_cast<uint32_t>(*timeout);
  m_settings.backgroundColour = IsButtonChecked(IDC_OSD_TRANSPARENT) ? OsdSettings::kTransparent : m_opaqueBackground;
  m_settings.selectorMode =
      IsButtonChecked(IDC_OSD_EXTRA_BUTTON) ? SelectorMode::ExtraButton : SelectorMode::SingleButton;
  m_settings.selectorCommand = ItemText(IDC_OSD_SELECTOR_COMMAND);
  return m_settings;
}

void COsdSettingsPage::Changed() {
  if (m_filling) return;
  Read();
  EnableItem(IDC_OSD_BACKGROUND, !m_settings.transparent());
  EnableItem(IDC_OSD_SELECTOR_COMMAND, m_settings.selectorMode == SelectorMode::ExtraButton);
  if (m_hooks.changed) m_hooks.changed();
}

bool COsdSettingsPage::OnCommand(int id, int notification, HWND) {
  switch (id) {
    case IDC_OSD_BACKGROUND:
      if (const auto c = chooseColour(Handle(), m_opaqueBackground)) {
        m_opaqueBackground = *c & 0xFFFFFF;
        Changed();
      }
      return true;
    case IDC_OSD_TEXT_COLOUR:
      if (const auto c = chooseColour(Handle(), m_settings.textColour)) {
        m_settings.textColour = *c & 0xFFFFFF;
        Changed();
      }
      return true;
    case IDC_OSD_FONT:
      if (const auto f = chooseFont(Handle(), m_settings.font)) {
        m_settings.font = *f;
        SetItemText(IDC_OSD_FONT_NAME, fontDescription(*f));
        Changed();
      }
      return true;
    case IDC_OSD_PREVIEW:
      if (m_hooks.preview) m_hooks.preview(Read());
      return true;
    case IDC_OSD_TRANSPARENT:
    case IDC_OSD_SINGLE_BUTTON:
    case IDC_OSD_EXTRA_BUTTON:
      if (notification == BN_CLICKED) Changed();
      return true;
    case IDC_OSD_POSITION:
      if (notification == CBN_SELCHANGE) Changed();
      return true;
    case IDC_OSD_TIMEOUT:
    case IDC_OSD_SELECTOR_COMMAND:
      if (notification == EN_CHANGE) Changed();
      return true;
  }
  return false;
}

}  // namespace vexa::osd::win
