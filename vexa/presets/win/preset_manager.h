#pragma once
// The "Preset Manager": lists the presets of a type, deletes and renames them.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include "vexa/presets/preset_store.h"
#include "vexa/presets/win/preset_ui.h"
#include "vexa/winlib/dialog.h"

namespace vexa::presets::win {

inline constexpr const char* kSelectToDelete = "Please select preset to delete";
inline constexpr const char* kSelectToRename = "Please select preset to rename";

class CPresetManager : public vexa::win::CModalDialog {
 public:
  explicit CPresetManager(const PresetUi& ui) : m_ui(ui) {}

  PresetType Filter() const { return m_filter; }
  // The name of the selected row; empty without one.
  std::string Selected() const;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification, HWND control) override;
  bool OnNotify(int id, NMHDR& header, LRESULT& result) override;

 private:
  void Refill();
  void Delete();
  void Rename();
  bool FinishRename(const NMLVDISPINFOW& info);
  void Tell(std::string_view text);

  const PresetUi& m_ui;
  PresetType m_filter = PresetType::AllSettings;
};

void runPresetManager(HWND owner, const PresetUi& ui);

}  // namespace vexa::presets::win
