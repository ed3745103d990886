#pragma once
// The on-screen display's settings page in a dialog of its own, with OK and
// Cancel: how the tray menu reaches it.
#include <windows.h>

#include <functional>
#include <optional>

#include "vexa/osd/osd_settings.h"
#include "vexa/osd/win/osd_settings_page.h"
#include "vexa/winlib/dialog.h"

namespace vexa::osd::win {

class COsdSettingsDialog : public vexa::win::CModalDialog {
 public:
  COsdSettingsDialog(const OsdSettings& settings, HINSTANCE resources, OsdSettingsPageHooks hooks)
      : m_settings(settings), m_resources(resources), m_page(std::move(hooks)) {}
  // OK: the settings as the page left them.
  const OsdSettings& Result() const { return m_settings; }
  COsdSettingsPage& Page() { return m_page; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  OsdSettings m_settings;
  HINSTANCE m_resources;
  COsdSettingsPage m_page;
};

// Runs the dialog; the accepted settings, or nothing on Cancel.
std::optional<OsdSettings> runOsdSettingsDialog(HWND owner, HINSTANCE resources, const OsdSettings& settings,
                                                std::function<void(const OsdSettings&)> preview);

}  // namespace vexa::osd::win
