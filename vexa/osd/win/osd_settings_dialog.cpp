#include "vexa/osd/win/osd_settings_dialog.h"

#include "vexa/osd/win/osd_resource.h"

namespace vexa::osd::win {

bool COsdSettingsDialog::OnInitDialog() {
  m_page.Load(m_settings);
  RECT margin{4, 4, 0, 0};
  MapDialogRect(Handle(), &margin);
  if (m_page.Create(Handle(), m_resources, {margin.left, margin.top})) ShowWindow(m_page.Handle(), SW_SHOW);
  return true;
}

void COsdSettingsDialog::OnOK() {
  m_settings = m_page.Settings();
  End(IDOK);
}

std::optional<OsdSettings> runOsdSettingsDialog(HWND owner, HINSTANCE resources, const OsdSettings& settings,
                                                std::function<void(const OsdSettings&)> preview) {
  COsdSettingsDialog dialog(settings, resources, {std::move(preview), nullptr});
  if (dialog.DoModal(owner, resources, IDD_OSD_SETTINGS_DIALOG) != IDOK) return std::nullopt;
  return dialog.Result();
}

}  // namespace vexa::osd::win
