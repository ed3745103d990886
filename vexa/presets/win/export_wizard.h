#pragma once
// The export wizard ("Save as preset"): the preset's type, then its name.
#include <windows.h>

#include <string>

#include "vexa/presets/preset_store.h"
#include "vexa/presets/win/preset_ui.h"
#include "vexa/winlib/property_sheet.h"

namespace vexa::presets::win {

inline constexpr const wchar_t* kExportTitle = L"Export";
inline constexpr const wchar_t* kExportDataTitle = L"Export data";  // when error reporting runs it

struct ExportChoice {
  PresetType type = PresetType::AllSettings;
  std::string name;
  bool newName = false;
  std::wstring title = kExportTitle;  // the wizard's, whatever page is on show
};

class CExportPage1 : public vexa::win::CPropertyPage {
 public:
  explicit CExportPage1(ExportChoice& choice) : m_choice(choice) {}

 protected:
  bool OnInitDialog() override;
  void OnSetActive() override;
  bool OnKillActive() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  ExportChoice& m_choice;
};

class CExportPage2 : public vexa::win::CPropertyPage {
 public:
  CExportPage2(ExportChoice& choice, const PresetUi& ui, const PresetActions& actions)
      : m_choice(choice), m_ui(ui), m_actions(actions) {}
  bool Written() const { return m_written; }

 protected:
  bool OnInitDialog() override;
  void OnSetActive() override;
  bool OnCommand(int id, int notification, HWND control) override;
  bool OnNotify(int id, NMHDR& header, LRESULT& result) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  bool Finish();
  void EnableFields();

  ExportChoice& m_choice;
  const PresetUi& m_ui;
  const PresetActions& m_actions;
  bool m_written = false;
};

// Runs the wizard; true when a preset was written. The current settings'
// saved state is left as it was: only a preset file was written.
bool runExportWizard(HWND owner, const PresetUi& ui, PresetType initialType = PresetType::AllSettings,
                     const wchar_t* title = kExportTitle);

// The unattended export of error reporting: "All settings" under `name`, no pages.
bool exportUnattended(const PresetUi& ui, std::string_view name);

}  // namespace vexa::presets::win
