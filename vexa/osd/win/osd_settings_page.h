#pragma once
// The on-screen display's settings page: a child dialog that the
// configuration window places among its pages. It edits a copy of the
// settings; the owner saves them and applies them to the OSD.
#include <windows.h>

#include <functional>
#include <optional>

#include "vexa/osd/osd_settings.h"
#include "vexa/winlib/dialog.h"

namespace vexa::osd::win {

struct OsdSettingsPageHooks {
  // Shows the display as these settings would (the live preview).
  std::function<void(const OsdSettings&)> preview;
  // Something was changed (enables the owner's Apply).
  std::function<void()> changed;
};

class COsdSettingsPage : public vexa::win::CModelessDialog {
 public:
  explicit COsdSettingsPage(OsdSettingsPageHooks hooks) : m_hooks(std::move(hooks)) {}

  // The template comes from `instance` (the program's resources).
  bool Create(HWND parent, HINSTANCE instance, POINT position);
  void Load(const OsdSettings& settings);
  // The settings as the page shows them now.
  const OsdSettings& Settings() { return Read(); }

  // The choosers, replaceable so that tests need not answer common dialogs.
  std::function<std::optional<uint32_t>(HWND, uint32_t)> chooseColour;
  std::function<std::optional<OsdFont>(HWND, const OsdFont&)> chooseFont;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification, HWND control) override;

 private:
  const OsdSettings& Read();
  void Fill();
  void Changed();

  OsdSettingsPageHooks m_hooks;
  OsdSettings m_settings;
  uint32_t m_opaqueBackground = 0;
  bool m_filling = false;
};

}  // namespace vexa::osd::win
